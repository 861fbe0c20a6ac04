// Read access to the setup XML files through the platform's DOM document:
// open a file, select elements by a path of tag names, read attributes.
#pragma once

#include <windows.h>
#include <msxml2.h>

#include <string>

#include "platform/Handles.h"

class CXMLArchiveItemList;

// One element of an open document; copies share the element.
class CXMLArchiveItem {
public:
    CXMLArchiveItem() = default;
    CXMLArchiveItem(IXMLDOMDocument* document, IXMLDOMElement* element);
    CXMLArchiveItem(const CXMLArchiveItem& other);
    CXMLArchiveItem& operator=(const CXMLArchiveItem& other);
    virtual ~CXMLArchiveItem();

    bool IsValid() const { return document_ && element_; }
    // Every element with that tag name below this one, at any depth, in document order.
    CXMLArchiveItemList GetChildren(const wchar_t* tagName) const;
    // Absent: `value` becomes the default (or empty) and the result is false.
    bool GetAttrString(const wchar_t* name, std::wstring& value, const wchar_t* defaultValue) const;
    // `value` is the default unless the attribute exists.
    bool GetAttrInt(const wchar_t* name, int& value, int defaultValue) const;

private:
    void Reset();
    IXMLDOMDocument* document_ = nullptr;
    IXMLDOMElement* element_ = nullptr;
};

class CXMLArchiveItemList {
public:
    CXMLArchiveItemList() = default;
    CXMLArchiveItemList(IXMLDOMDocument* document, IXMLDOMNodeList* nodes);
    CXMLArchiveItemList(const CXMLArchiveItemList& other);
    CXMLArchiveItemList& operator=(const CXMLArchiveItemList& other);
    virtual ~CXMLArchiveItemList();

    long GetCount() const { return count_; }
    // Empty item when out of range or not an element.
    CXMLArchiveItem GetItem(long index) const;

private:
    void Reset();
    long count_ = 0;
    IXMLDOMDocument* document_ = nullptr;
    IXMLDOMNodeList* nodes_ = nullptr;
};

class CXMLArchive {
public:
    CXMLArchive() = default;
    virtual ~CXMLArchive();
    CXMLArchive(const CXMLArchive&) = delete;
    CXMLArchive& operator=(const CXMLArchive&) = delete;

    // Loads an existing file (create flag 0); E_FAIL when it is missing or not XML.
    HRESULT Open(const wchar_t* path, int create);
    // "A/B/C": the first A, its first descendant B, all descendants C of that B.
    CXMLArchiveItemList SelectNodes(const wchar_t* path) const;
    CXMLArchiveItem SelectNode(const wchar_t* path) const;

private:
    void Close();
    IXMLDOMDocument* document_ = nullptr;
    std::wstring path_;
    std::wstring declaration_;
    int create_ = 0;
};
