#include "platform/cloud/PropertyListSize.hpp"

#include <QByteArray>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace platform {

namespace {

// Writes the text, or only counts it: one walk serves both, so the size is the length of the text.
class TextSink {
public:
    explicit TextSink(std::string* text) : text_(text) {}

    void append(std::string_view part) {
        size_ += part.size();
        if (text_ != nullptr) {
            text_->append(part);
        }
    }
    void tabs(int depth) {
        for (int i = 0; i < depth; ++i) {
            append("\t");
        }
    }
    void base64(const std::string& bytes) {
        if (text_ == nullptr) {
            size_ += (bytes.size() + 2) / 3 * 4;
            return;
        }
        append(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()))
                   .toBase64()
                   .toStdString());
    }
    // False for a character that XML cannot carry.
    bool escaped(std::string_view text) {
        std::size_t start = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            std::string_view replacement;
            if (byte == '&') {
                replacement = "&amp;";
            } else if (byte == '<') {
                replacement = "&lt;";
            } else if (byte == '>') {
                replacement = "&gt;";
            } else if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') {
                return false;
            } else {
                continue;
            }
            append(text.substr(start, i - start));
            append(replacement);
            start = i + 1;
        }
        append(text.substr(start));
        return true;
    }
    std::size_t size() const { return size_; }

private:
    std::string* text_;
    std::size_t size_ = 0;
};

std::optional<std::string> dateText(double secondsSince1970) {
    // Years 1 to 9999 lie well within ±3.2e11 seconds of 1970.
    if (!std::isfinite(secondsSince1970) || std::fabs(secondsSince1970) > 3.2e11) {
        return std::nullopt;
    }
    using namespace std::chrono;
    const sys_seconds instant{seconds(static_cast<std::int64_t>(std::floor(secondsSince1970)))};
    const auto day = floor<days>(instant);
    const year_month_day date{day};
    const hh_mm_ss time{instant - day};
    const int year = static_cast<int>(date.year());
    if (year < 1 || year > 9999) {
        return std::nullopt;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02ld:%02ld:%02lldZ", year,
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<long>(time.hours().count()), static_cast<long>(time.minutes().count()),
                  static_cast<long long>(time.seconds().count()));
    return text;
}

bool write(TextSink& sink, const PropertyValue& value, int depth);

bool writeEntry(TextSink& sink, const std::string& key, const PropertyValue& item, int depth) {
    sink.tabs(depth);
    sink.append("<key>");
    if (!sink.escaped(key)) {
        return false;
    }
    sink.append("</key>\n");
    return write(sink, item, depth);
}

bool writeEntries(TextSink& sink, const PropertyValue::Dictionary& entries, int depth) {
    for (const auto& [key, item] : entries) {
        if (!writeEntry(sink, key, item, depth)) {
            return false;
        }
    }
    return true;
}

bool write(TextSink& sink, const PropertyValue& value, int depth) {
    sink.tabs(depth);
    const auto& storage = value.storage();
    if (const auto* data = std::get_if<PropertyData>(&storage)) {
        sink.append("<data>");
        sink.base64(data->bytes);
        sink.append("</data>\n");
    } else if (const auto* text = std::get_if<std::string>(&storage)) {
        sink.append("<string>");
        if (!sink.escaped(*text)) {
            return false;
        }
        sink.append("</string>\n");
    } else if (const auto* integer = std::get_if<std::int64_t>(&storage)) {
        sink.append("<integer>");
        sink.append(std::to_string(*integer));
        sink.append("</integer>\n");
    } else if (const auto* real = std::get_if<double>(&storage)) {
        if (!std::isfinite(*real)) {
            return false;
        }
        char digits[64];
        const auto end = std::to_chars(digits, digits + sizeof digits, *real).ptr;
        sink.append("<real>");
        sink.append(std::string_view(digits, static_cast<std::size_t>(end - digits)));
        sink.append("</real>\n");
    } else if (const auto* flag = std::get_if<bool>(&storage)) {
        sink.append(*flag ? "<true/>\n" : "<false/>\n");
    } else if (const auto* date = std::get_if<PropertyDate>(&storage)) {
        const auto text = dateText(date->secondsSince1970);
        if (!text) {
            return false;
        }
        sink.append("<date>");
        sink.append(*text);
        sink.append("</date>\n");
    } else if (const auto* items = std::get_if<PropertyValue::Array>(&storage)) {
        if (items->empty()) {
            sink.append("<array/>\n");
            return true;
        }
        sink.append("<array>\n");
        for (const auto& item : *items) {
            if (!write(sink, item, depth + 1)) {
                return false;
            }
        }
        sink.tabs(depth);
        sink.append("</array>\n");
    } else if (const auto* entries = std::get_if<PropertyValue::Dictionary>(&storage)) {
        if (entries->empty()) {
            sink.append("<dict/>\n");
            return true;
        }
        sink.append("<dict>\n");
        if (!writeEntries(sink, *entries, depth + 1)) {
            return false;
        }
        sink.tabs(depth);
        sink.append("</dict>\n");
    }
    return true;
}

bool writeDocument(TextSink& sink, const PropertyValue& root) {
    sink.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n");
    if (!write(sink, root, 0)) {
        return false;
    }
    sink.append("</plist>\n");
    return true;
}

} // namespace

std::optional<std::string> xmlPropertyList(const PropertyValue& root) {
    std::string text;
    TextSink sink(&text);
    if (!writeDocument(sink, root)) {
        return std::nullopt;
    }
    return text;
}

std::optional<std::size_t> xmlPropertyListSize(const PropertyValue& root) {
    TextSink sink(nullptr);
    if (!writeDocument(sink, root)) {
        return std::nullopt;
    }
    return sink.size();
}

std::optional<std::size_t> xmlPropertyListEntrySize(const std::string& key, const PropertyValue& value) {
    TextSink sink(nullptr);
    if (!writeEntry(sink, key, value, 1)) {
        return std::nullopt;
    }
    return sink.size();
}

} // namespace platform
