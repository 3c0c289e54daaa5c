#pragma once
// The one way results and messages cross a module boundary. A Message is what the program would show in
// a message box: a sequence of catalogue keys (looked up in the user's language when shown) and fixed
// texts (file names, values, the program's fixed German texts). A Status says whether an operation
// succeeded and carries the messages it produced; Result<T> adds the value on success.
//
// Which is which: a text that a translator must see is a catalogue key; a name, a number or a line that
// comes from the data, and the few texts the program keeps fixed in German, are fixed texts. Nothing is
// shown while the operation runs: the caller reports the status once, at the end.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tav {

enum class Severity { Info, Warning, Error };

class Message {
  public:
    struct Part {
        bool isKey = false;
        std::string value;
    };

    Message() = default;
    // A message that starts with the catalogue text of key.
    static Message key(Severity s, std::string key) { return Message(s).addKey(std::move(key)); }
    // A message that starts with a fixed text.
    static Message text(Severity s, std::string text) { return Message(s).add(std::move(text)); }

    Message& addKey(std::string key) {
        parts_.push_back({true, std::move(key)});
        return *this;
    }
    Message& add(std::string text) {
        parts_.push_back({false, std::move(text)});
        return *this;
    }

    Severity severity() const { return severity_; }
    const std::vector<Part>& parts() const { return parts_; }
    bool empty() const { return parts_.empty(); }

    // The text with every key replaced by lookup(key) (the catalogue's text in the current language).
    template <class Lookup>
    std::string render(Lookup&& lookup) const {
        std::string out;
        for (const Part& p : parts_) out += p.isKey ? std::string(lookup(p.value)) : p.value;
        return out;
    }
    // The text with keys left as they are, for logs and tests.
    std::string plain() const {
        return render([](const std::string& k) { return k; });
    }

  private:
    explicit Message(Severity s) : severity_(s) {}
    Severity severity_ = Severity::Info;
    std::vector<Part> parts_;
};

class Status {
  public:
    Status() = default;
    static Status failure(Message m) {
        Status s;
        s.failed_ = true;
        s.messages_.push_back(std::move(m));
        return s;
    }
    static Status failure(std::string fixedText) {
        return failure(Message::text(Severity::Error, std::move(fixedText)));
    }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return !failed_; }

    void fail() { failed_ = true; }
    // Adds a message; an error message makes the status a failure.
    Status& add(Message m) {
        if (m.severity() == Severity::Error) failed_ = true;
        messages_.push_back(std::move(m));
        return *this;
    }
    Status& info(std::string fixedText) { return add(Message::text(Severity::Info, std::move(fixedText))); }
    Status& warning(std::string fixedText) {
        return add(Message::text(Severity::Warning, std::move(fixedText)));
    }
    Status& error(std::string fixedText) { return add(Message::text(Severity::Error, std::move(fixedText))); }
    // Takes over the messages (and the failure) of another status.
    Status& merge(Status other) {
        failed_ = failed_ || other.failed_;
        for (Message& m : other.messages_) messages_.push_back(std::move(m));
        return *this;
    }

    const std::vector<Message>& messages() const { return messages_; }
    // The texts of the messages with keys left as they are, one per line: the reason a caller puts into
    // its own message, and what logs and tests see.
    std::string plain() const {
        std::string out;
        for (const Message& m : messages_) {
            if (!out.empty()) out += '\n';
            out += m.plain();
        }
        return out;
    }

  private:
    bool failed_ = false;
    std::vector<Message> messages_;
};

template <class T>
class Result {
  public:
    Result(T value) : value_(std::move(value)) {}  // NOLINT: a value is a successful result
    Result(Status failed) : status_(std::move(failed)) {
        if (status_.ok()) status_.fail();
    }
    Result(T value, Status status) : value_(std::move(value)), status_(std::move(status)) {}

    bool ok() const { return value_.has_value() && status_.ok(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *value_; }
    T& value() { return *value_; }
    const T* operator->() const { return &*value_; }
    T* operator->() { return &*value_; }
    const Status& status() const { return status_; }
    Status& status() { return status_; }

  private:
    std::optional<T> value_;
    Status status_;
};

}  // namespace tav
