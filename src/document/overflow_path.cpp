#include "document/overflow_path.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::json;

// Names the field that holds a number too large for a double. nlohmann
// refuses such a number (1e999) while parsing, with an error that says
// neither where nor in which field, so the text is walked a second time
// following the keys and indices down to it.
class OverflowFinder : public nlohmann::json_sax<Json> {
public:
    bool null() override { return value(); }
    bool boolean(bool) override { return value(); }
    bool number_integer(number_integer_t) override { return value(); }
    bool number_unsigned(number_unsigned_t) override { return value(); }
    bool number_float(number_float_t, const string_t&) override { return value(); }
    bool string(string_t&) override { return value(); }
    bool binary(binary_t&) override { return value(); }
    bool start_object(std::size_t) override { return open(false); }
    bool key(string_t& key) override {
        if (deeper_ == 0) {
            frames_.back().key = key;
        }
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(true); }
    bool end_array() override { return close(); }
    bool parse_error(std::size_t, const std::string&, const Json::exception&) override {
        for (std::size_t f = 0; f < frames_.size(); ++f) {
            const Frame& frame = frames_[f];
            // The innermost container has not counted the refused value yet.
            const bool innermost = f + 1 == frames_.size() && deeper_ == 0;
            if (frame.array) {
                path_ += "[" + std::to_string(innermost ? frame.values : frame.values - 1) + "]";
            } else {
                path_ += key_path(frame.key, path_.empty());
            }
        }
        if (deeper_ > 0) {
            path_ += "...";
        }
        return false;
    }

    // The field's path as the reader's messages write it ("points[0].z").
    const std::string& path() const { return path_; }

private:
    // Containers deeper than this are counted, not named.
    static constexpr std::size_t kMaxNamedDepth = 32;

    struct Frame {
        bool array;
        std::size_t values = 0; // values begun in an array
        std::string key;        // the key being read in an object
    };

    bool value() {
        if (deeper_ == 0 && !frames_.empty() && frames_.back().array) {
            ++frames_.back().values;
        }
        return true;
    }
    bool open(bool array) {
        value();
        if (deeper_ > 0 || frames_.size() == kMaxNamedDepth) {
            ++deeper_;
        } else {
            frames_.push_back(Frame{array, 0, {}});
        }
        return true;
    }
    bool close() {
        if (deeper_ > 0) {
            --deeper_;
        } else {
            frames_.pop_back();
        }
        return true;
    }
    // ".name" for a plain key ("name" to begin a path), else the key quoted in
    // brackets.
    static std::string key_path(const std::string& key, bool top) {
        const bool plain = !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
        });
        if (!plain) {
            return "[" + Json(key).dump(-1, ' ', false, Json::error_handler_t::replace) + "]";
        }
        return top ? key : "." + key;
    }

    std::vector<Frame> frames_;
    std::size_t deeper_ = 0;
    std::string path_;
};

} // namespace

std::string overflowing_number_path(std::string_view text) {
    OverflowFinder finder;
    Json::sax_parse(text.begin(), text.end(), &finder);
    return finder.path();
}
