#include "platform/String.h"

#include <algorithm>

namespace {

int Index(size_t position) {
    return position == std::basic_string<WCHAR>::npos ? -1 : static_cast<int>(position);
}

}  // namespace

bool IsBlank(WCHAR c) {
    return c == TEXT(' ') || (c >= 0x09 && c <= 0x0D);
}

CString::CString(LPCWSTR text) {
    if (text != nullptr) {
        text_ = text;
    }
}

CString::CString(LPCWSTR text, int length) : text_(text, std::max(length, 0)) {}

CString& CString::operator+=(const CString& other) {
    text_ += other.text_;
    return *this;
}

CString& CString::operator+=(LPCWSTR other) {
    if (other != nullptr) {
        text_ += other;
    }
    return *this;
}

CString& CString::operator+=(WCHAR c) {
    text_ += c;
    return *this;
}

CString operator+(const CString& a, const CString& b) {
    CString result(a);
    return result += b;
}

CString operator+(const CString& a, LPCWSTR b) {
    CString result(a);
    return result += b;
}

CString operator+(LPCWSTR a, const CString& b) {
    CString result(a);
    return result += b;
}

CString operator+(const CString& a, WCHAR b) {
    CString result(a);
    return result += b;
}

CString operator+(WCHAR a, const CString& b) {
    CString result;
    result += a;
    return result += b;
}

int CString::Compare(LPCWSTR other) const {
    // char_traits<wchar_t> compares signed where wchar_t is; the code units
    // are compared here as the unsigned values they are.
    for (size_t i = 0;; ++i) {
        const unsigned a = i < text_.size() ? static_cast<unsigned>(text_[i]) : 0;
        const unsigned b = static_cast<unsigned>(other[i]);
        if (a != b || a == 0) {
            return a < b ? -1 : (a > b ? 1 : 0);
        }
    }
}

int CString::Find(WCHAR c, int start) const {
    return start < 0 ? -1 : Index(text_.find(c, start));
}

int CString::Find(LPCWSTR text, int start) const {
    return start < 0 ? -1 : Index(text_.find(text, start));
}

int CString::ReverseFind(WCHAR c) const {
    return Index(text_.rfind(c));
}

CString CString::Left(int count) const {
    count = std::clamp(count, 0, GetLength());
    return CString(text_.c_str(), count);
}

CString CString::Right(int count) const {
    count = std::clamp(count, 0, GetLength());
    return CString(text_.c_str() + (GetLength() - count), count);
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(text_.c_str() + first, count);
}

int CString::Replace(WCHAR from, WCHAR to) {
    int replaced = 0;
    for (WCHAR& c : text_) {
        if (c == from) {
            c = to;
            ++replaced;
        }
    }
    return replaced;
}

CString& CString::TrimLeft() {
    const auto first = std::find_if_not(text_.begin(), text_.end(), IsBlank);
    text_.erase(text_.begin(), first);
    return *this;
}

CString& CString::TrimRight() {
    const auto last = std::find_if_not(text_.rbegin(), text_.rend(), IsBlank);
    text_.erase(last.base(), text_.end());
    return *this;
}

LPWSTR CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) {
        text_.resize(minLength);
    }
    return &text_[0];
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        newLength = Index(text_.find(WCHAR(0)));
    }
    if (newLength >= 0 && newLength < GetLength()) {
        text_.resize(newLength);
    }
}
