// CString: an 8-bit string in the locale's character set that knows its length.
#pragma once

#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(std::string text) : m_text(std::move(text)) {}
    CString(std::string_view text) : m_text(text) {}

    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    operator const char*() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }

    CString& operator+=(const CString& more) {
        m_text += more.m_text;
        return *this;
    }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }

    // printf-style formatting; the result replaces the string.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    std::string m_text;
};
