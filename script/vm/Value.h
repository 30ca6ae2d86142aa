// A script value: a tag and a small payload, copied by value. Strings are shared, immutable
// and reference-counted; objects are reached through handles that go stale when deleted.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace zeb::script::vm {

enum class Tag : std::uint8_t { Nil, Integer, Number, Character, String, Object, Super };

// The text of a string value. Never changed while shared, so values share it freely.
class StringText
{
public:
    explicit StringText(std::string text)
        : m_text(std::move(text))
    {
    }
    const std::string& text() const { return m_text; }
    std::uint32_t references() const { return m_references.load(std::memory_order_relaxed); }
    // Only for text no other value can see (see Value::appendInPlace).
    void append(std::string_view more) { m_text.append(more); }
    void retain() { m_references.fetch_add(1, std::memory_order_relaxed); }
    // True when that was the last reference.
    bool release() { return m_references.fetch_sub(1, std::memory_order_acq_rel) == 1; }

private:
    std::atomic<std::uint32_t> m_references{1};
    std::string m_text;
};

// An object's place in the heap and the generation of the object that had it.
struct Handle
{
    std::uint32_t index = 0;
    std::uint32_t generation = 0;
};

class Value
{
public:
    Value() = default;
    Value(const Value& other)
        : m_tag(other.m_tag)
        , m_payload(other.m_payload)
    {
        if (m_tag == Tag::String)
            m_payload.string->retain();
    }
    Value(Value&& other) noexcept
        : m_tag(other.m_tag)
        , m_payload(other.m_payload)
    {
        other.m_tag = Tag::Nil;
    }
    Value& operator=(const Value& other)
    {
        // Neither side a string, the usual case: nothing to count.
        if (m_tag != Tag::String && other.m_tag != Tag::String) {
            m_tag = other.m_tag;
            m_payload = other.m_payload;
            return *this;
        }
        if (this != &other) {
            if (other.m_tag == Tag::String)
                other.m_payload.string->retain();
            drop();
            m_tag = other.m_tag;
            m_payload = other.m_payload;
        }
        return *this;
    }
    Value& operator=(Value&& other) noexcept
    {
        if (m_tag == Tag::String) {
            if (this == &other)
                return *this;
            drop();
        }
        // Read before clearing: moving a value onto itself keeps it.
        const Tag tag = other.m_tag;
        const Payload payload = other.m_payload;
        other.m_tag = Tag::Nil;
        m_tag = tag;
        m_payload = payload;
        return *this;
    }
    ~Value() { drop(); }

    static Value integer(std::int32_t value)
    {
        Value made;
        made.m_tag = Tag::Integer;
        // The whole payload word at once: a narrower store followed by the copy's wide load
        // would stall the load on every Integer made.
        made.m_payload.raw = static_cast<std::uint32_t>(value);
        return made;
    }
    static Value number(double value)
    {
        Value made;
        made.m_tag = Tag::Number;
        made.m_payload.number = value;
        return made;
    }
    // A 64-bit integral result: an Integer when it fits in 32 bits, else a Number.
    static Value wide(std::int64_t value)
    {
        if (value >= INT32_MIN && value <= INT32_MAX)
            return integer(static_cast<std::int32_t>(value));
        return number(static_cast<double>(value));
    }
    static Value character(std::uint8_t code);
    static Value string(std::string text);
    static Value object(Handle handle);
    static Value superMarker();
    // An integral result inside the 32-bit range is an Integer; anything else stays a Number.
    static Value normalised(double value)
    {
        // The range test comes first (nan fails it), so the conversion is always defined.
        if (value >= -2147483648.0 && value <= 2147483647.0) {
            const auto whole = static_cast<std::int32_t>(value);
            if (static_cast<double>(whole) == value)
                return integer(whole);
        }
        return number(value);
    }
    static Value truth(bool value) { return integer(value ? 1 : 0); }

    Tag tag() const { return m_tag; }
    bool isNil() const { return m_tag == Tag::Nil; }
    bool isInteger() const { return m_tag == Tag::Integer; }
    std::int32_t asInteger() const { return m_payload.integer; }
    double asNumber() const { return m_payload.number; }
    std::uint8_t asCharacter() const { return m_payload.character; }
    const std::string& asText() const { return m_payload.string->text(); }
    Handle asHandle() const { return m_payload.handle; }

    // The value as a floating number: Integers, Numbers and Characters by value, anything else 0.
    double numeric() const;
    // The value as a 32-bit integer, converted numerically (never from other payload bits).
    std::int32_t integral() const;
    // Truth as branches and logical operators see it: nil, 0, 0.0 and the character 0 are
    // false; strings and objects are true.
    bool isTrue() const
    {
        switch (m_tag) {
        case Tag::Integer:
            return m_payload.integer != 0;
        case Tag::Number:
            return m_payload.number != 0.0;
        case Tag::Character:
            return m_payload.character != 0;
        case Tag::String:
        case Tag::Object:
            return true;
        case Tag::Nil:
        case Tag::Super:
            break;
        }
        return false;
    }
    // Same tag and same value; strings by their text.
    bool identical(const Value& other) const;
    // Appends more to this string's text in place when the only other value holding that text
    // is holder, the variable the result is stored back into: no one else can see the text
    // change, and a string grown in a loop is copied at each doubling of its capacity instead
    // of at every step. False (nothing done) otherwise.
    bool appendInPlace(const Value& holder, std::string_view more);

private:
    void drop()
    {
        if (m_tag == Tag::String && m_payload.string->release())
            delete m_payload.string;
    }

    Tag m_tag = Tag::Nil;
    union Payload
    {
        std::uint64_t raw;
        std::int32_t integer;
        double number;
        std::uint8_t character;
        StringText* string;
        Handle handle;
    } m_payload{};
};

} // namespace zeb::script::vm
