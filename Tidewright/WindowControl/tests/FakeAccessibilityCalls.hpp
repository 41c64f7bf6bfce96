#pragma once
// A scripted call layer for the window logic: elements are names, answers are set per element and
// attribute, and every call is logged in order, so tests can assert what was read and written.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "tidewright/windowcontrol/AccessibilityCalls.hpp"
#include "tidewright/windowcontrol/AccessibilityError.hpp"

namespace tidewright {

struct FakeElement {
    std::string name;
};
struct FakeError {
    platform::AXError code;
};

// What a read of one attribute answers.
using FakeAnswer = std::variant<bool, std::string, FakeElement, platform::CGPoint, platform::CGSize,
                                std::int64_t, FakeError>;

struct FakeScript {
    bool trusted = true;
    std::map<std::int32_t, std::string> applications;
    std::map<std::pair<std::string, AccessibilityAttribute>, FakeAnswer> answers;
    std::map<std::pair<std::string, AccessibilityAttribute>, FakeAnswer> settable;
    std::map<std::pair<std::string, AccessibilityAttribute>, platform::AXError> writeErrors;
    std::vector<std::string> log;
    // Runs after every call has been logged (and before it answers): a test revokes the permit or
    // moves the clock here.
    std::function<void(const std::string& call)> afterCall;
};

class FakeAccessibilityCalls {
public:
    using Element = std::string;

    explicit FakeAccessibilityCalls(std::shared_ptr<FakeScript> script) : script_(std::move(script)) {}

    bool isProcessTrusted() const {
        record("trusted");
        return script_->trusted;
    }
    void setMessagingTimeout(float seconds) const {
        std::ostringstream line;
        line << "timeout " << seconds;
        record(line.str());
    }
    Element application(std::int32_t pid) const {
        record("application " + std::to_string(pid));
        auto found = script_->applications.find(pid);
        return found != script_->applications.end() ? found->second : "application " + std::to_string(pid);
    }

    Element element(AccessibilityAttribute attribute, const Element& of) const {
        return read<FakeElement>("element", attribute, of).name;
    }
    bool boolean(AccessibilityAttribute attribute, const Element& of) const {
        return read<bool>("boolean", attribute, of);
    }
    std::string string(AccessibilityAttribute attribute, const Element& of) const {
        return read<std::string>("string", attribute, of);
    }
    platform::CGPoint point(AccessibilityAttribute attribute, const Element& of) const {
        return read<platform::CGPoint>("point", attribute, of);
    }
    platform::CGSize size(AccessibilityAttribute attribute, const Element& of) const {
        return read<platform::CGSize>("size", attribute, of);
    }
    std::int64_t valueCount(AccessibilityAttribute attribute, const Element& of) const {
        return read<std::int64_t>("count", attribute, of);
    }
    bool isSettable(AccessibilityAttribute attribute, const Element& of) const {
        return answer<bool>(script_->settable, "settable", attribute, of);
    }

    void setPoint(AccessibilityAttribute attribute, platform::CGPoint point, const Element& of) const {
        write("setPoint", attribute, of, number(point.x) + "," + number(point.y), point);
    }
    void setSize(AccessibilityAttribute attribute, platform::CGSize size, const Element& of) const {
        write("setSize", attribute, of, number(size.width) + "x" + number(size.height), size);
    }
    void setBool(AccessibilityAttribute attribute, bool value, const Element& of) const {
        write("setBool", attribute, of, value ? "true" : "false", value);
    }

private:
    using Key = std::pair<std::string, AccessibilityAttribute>;

    static std::string number(double value) {
        std::ostringstream out;
        out << value;
        return out.str();
    }

    void record(const std::string& line) const {
        script_->log.push_back(line);
        if (script_->afterCall) {
            script_->afterCall(line);
        }
    }

    template <class T>
    T read(const char* operation, AccessibilityAttribute attribute, const Element& of) const {
        return answer<T>(script_->answers, operation, attribute, of);
    }

    // Unscripted attributes are unsupported; an answer of another type is the platform's wrong type.
    template <class T>
    T answer(const std::map<Key, FakeAnswer>& answers, const char* operation,
             AccessibilityAttribute attribute, const Element& of) const {
        record(std::string(operation) + " " + of + " " + std::string(rawValue(attribute)));
        auto found = answers.find(Key{of, attribute});
        if (found == answers.end()) {
            throw AccessibilityError{platform::AXError::attributeUnsupported};
        }
        if (const auto* error = std::get_if<FakeError>(&found->second)) {
            throw AccessibilityError{error->code};
        }
        if (const auto* value = std::get_if<T>(&found->second)) {
            return *value;
        }
        throw AccessibilityError{platform::AXError::illegalArgument};
    }

    void write(const char* operation, AccessibilityAttribute attribute, const Element& of,
               const std::string& shown, FakeAnswer stored) const {
        record(std::string(operation) + " " + of + " " + std::string(rawValue(attribute)) + " " + shown);
        if (auto error = script_->writeErrors.find(Key{of, attribute}); error != script_->writeErrors.end()) {
            throw AccessibilityError{error->second};
        }
        script_->answers[Key{of, attribute}] = std::move(stored);
    }

    std::shared_ptr<FakeScript> script_;
};

static_assert(AccessibilityCalls<FakeAccessibilityCalls>);

} // namespace tidewright
