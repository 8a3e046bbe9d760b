// CString: a counted UTF-16 string with the handful of operations that the
// launcher and the disk helper use. Searches answer a zero-based index or -1;
// counts are clamped to the string, so Left(-1) is empty and Right(99) whole.
#pragma once

#include <string>

#include "platform/Platform.h"

// White space, as CString trims it: blank, tab, line feed, vertical tab,
// form feed, return.
bool IsBlank(WCHAR c);

class CString {
public:
    CString() = default;
    CString(LPCWSTR text);  // NOLINT: converts like the framework's string
    CString(LPCWSTR text, int length);

    int GetLength() const { return static_cast<int>(text_.size()); }
    BOOL IsEmpty() const { return text_.empty(); }
    void Empty() { text_.clear(); }
    WCHAR GetAt(int index) const { return text_.at(index); }
    WCHAR operator[](int index) const { return GetAt(index); }
    operator LPCWSTR() const { return text_.c_str(); }  // NOLINT

    CString& operator+=(const CString& other);
    CString& operator+=(LPCWSTR other);
    CString& operator+=(WCHAR c);
    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCWSTR b);
    friend CString operator+(LPCWSTR a, const CString& b);
    friend CString operator+(const CString& a, WCHAR b);
    friend CString operator+(WCHAR a, const CString& b);

    // Ordinal comparison of the code units as unsigned values; a prefix of
    // another string compares less.
    int Compare(LPCWSTR other) const;
    friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }
    friend bool operator!=(const CString& a, const CString& b) { return a.text_ != b.text_; }

    int Find(WCHAR c, int start = 0) const;
    int Find(LPCWSTR text, int start = 0) const;
    int ReverseFind(WCHAR c) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Answers how many characters were replaced.
    int Replace(WCHAR from, WCHAR to);
    // White space as IsBlank tells it.
    CString& TrimLeft();
    CString& TrimRight();

    // Room for at least minLength characters and a terminator, to be filled
    // by a system call; ReleaseBuffer then fixes the length (at the first NUL
    // when none is given).
    LPWSTR GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

private:
    // Character traits of its own: the compiler builds only the string
    // operations used here, instead of the program linking the run-time's
    // whole prebuilt wide string.
    struct Traits : std::char_traits<WCHAR> {};
    typedef std::basic_string<WCHAR, Traits> Text;
    Text text_;
};
