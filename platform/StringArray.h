// CStringArray: an ordered, growable array of strings, owned by whoever
// declares it.
#pragma once

#include <vector>

#include "platform/Object.h"
#include "platform/String.h"

class CStringArray : public CObject {
public:
    int GetSize() const { return static_cast<int>(items_.size()); }
    const CString& GetAt(int index) const { return items_.at(index); }
    const CString& operator[](int index) const { return GetAt(index); }
    void SetAt(int index, const CString& item) { items_.at(index) = item; }
    int Add(const CString& item) {
        items_.push_back(item);
        return GetSize() - 1;
    }
    void InsertAt(int index, const CString& item) { items_.insert(items_.begin() + index, item); }
    void RemoveAll() { items_.clear(); }

private:
    std::vector<CString> items_;
};
