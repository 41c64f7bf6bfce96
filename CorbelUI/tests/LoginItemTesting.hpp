#pragma once
// A login item's surroundings for tests: a temporary configuration folder with a real autostart
// entry in it, a manual executor and queue to run its writes, and a capture of what is logged.

#include "corbel/ui/LoginItem.hpp"

#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/ManualSerialQueue.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace corbel {

struct LogLine {
    QtMsgType type;
    QString category;
    QString message;
};

// Collects what is logged while it lives.
class LogCapture {
public:
    LogCapture() {
        lines().clear();
        previous_ = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
                lines().push_back({type, QString::fromUtf8(context.category), message});
            });
    }
    ~LogCapture() { qInstallMessageHandler(previous_); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    static std::vector<LogLine>& lines() {
        static std::vector<LogLine> captured;
        return captured;
    }

private:
    QtMessageHandler previous_;
};

class TemporaryLogin {
public:
    TemporaryLogin() { EXPECT_TRUE(root_.isValid()); }

    QString configHome() const { return root_.filePath(QStringLiteral("config")); }
    QString entryPath() const {
        return configHome() + QStringLiteral("/autostart/app.corbelthane.tidewright.desktop");
    }

    // The entry this process would start from, in the temporary folder.
    std::shared_ptr<const platform::AutostartLoginItem> entry() const {
        return std::make_shared<const platform::AutostartLoginItem>(platform::AutostartLoginItem::Settings{
            configHome(),
            {},
            QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(),
            QStringLiteral("app.corbelthane.tidewright.desktop"),
            QStringLiteral("Tidewright"),
            {}});
    }
    LoginItem::Backend backend() { return {entry(), &executor, &queue}; }

    // Runs the executor and the queue until neither has work left.
    void settle() {
        do {
            executor.runUntilIdle();
        } while (queue.step());
        executor.runUntilIdle();
    }

    // A file where the autostart folder should be: every write fails, even for root.
    void blockAutostartFolder() const {
        QDir(configHome() + QStringLiteral("/autostart")).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(configHome()));
        QFile blocker(configHome() + QStringLiteral("/autostart"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }

    platform::ManualExecutor executor;
    platform::ManualSerialQueue queue;

private:
    QTemporaryDir root_;
};

} // namespace corbel
