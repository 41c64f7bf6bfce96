// One QApplication for the whole test program, on the offscreen platform: widgets and icons need
// it, and Qt wants a single one per process.

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class OffscreenApplication : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "workspace-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new OffscreenApplication);

} // namespace
