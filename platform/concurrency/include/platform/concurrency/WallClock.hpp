#pragma once
// Dates, kept apart from the continuous clock: the wall clock jumps when the user sets the time.

#include <chrono>

namespace platform {

class WallClock {
public:
    virtual ~WallClock() = default;
    virtual std::chrono::system_clock::time_point now() const = 0;
};

class LiveWallClock final : public WallClock {
public:
    std::chrono::system_clock::time_point now() const override { return std::chrono::system_clock::now(); }
};

class ManualWallClock final : public WallClock {
public:
    explicit ManualWallClock(std::chrono::system_clock::time_point start) : now_(start) {}
    std::chrono::system_clock::time_point now() const override { return now_; }
    void set(std::chrono::system_clock::time_point instant) { now_ = instant; }

private:
    std::chrono::system_clock::time_point now_;
};

} // namespace platform
