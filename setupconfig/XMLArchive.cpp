#include "setupconfig/XMLArchive.h"

#include <oleauto.h>
#include <shlwapi.h>

#include <vector>

#include "setupconfig/AttrInt.h"

namespace {

// The version-independent DOM document class and its interface.
const CLSID kClsidDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

template <typename T>
void AddRef(T* p)
{
    if (p) p->AddRef();
}
template <typename T>
void Release(T*& p)
{
    if (p) p->Release();
    p = nullptr;
}

std::vector<std::wstring> SplitPath(const std::wstring& path)
{
    std::vector<std::wstring> segments;
    std::wstring current;
    for (wchar_t c : path) {
        if (c == L'/' || c == L'\\') {
            segments.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    segments.push_back(current);
    return segments;
}

// The first element of a node list, with a reference of its own; null when none.
IXMLDOMElement* FirstElement(IXMLDOMNodeList* list)
{
    if (!list) return nullptr;
    platform::ComPtr<IXMLDOMNode> node;
    if (FAILED(list->get_item(0, node.put())) || !node) return nullptr;
    IXMLDOMElement* element = nullptr;
    if (FAILED(node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(&element)))) return nullptr;
    return element;
}

}  // namespace

// ---- CXMLArchiveItem -------------------------------------------------------

CXMLArchiveItem::CXMLArchiveItem(IXMLDOMDocument* document, IXMLDOMElement* element)
    : document_(document), element_(element)
{
    AddRef(document_);
    AddRef(element_);
}

CXMLArchiveItem::CXMLArchiveItem(const CXMLArchiveItem& other) : CXMLArchiveItem(other.document_, other.element_) {}

CXMLArchiveItem& CXMLArchiveItem::operator=(const CXMLArchiveItem& other)
{
    if (this != &other) {
        AddRef(other.document_);
        AddRef(other.element_);
        Reset();
        document_ = other.document_;
        element_ = other.element_;
    }
    return *this;
}

CXMLArchiveItem::~CXMLArchiveItem()
{
    Reset();
}

void CXMLArchiveItem::Reset()
{
    Release(element_);
    Release(document_);
}

CXMLArchiveItemList CXMLArchiveItem::GetChildren(const wchar_t* tagName) const
{
    if (!IsValid() || !tagName) return {};
    platform::ScopedBstr name(tagName);
    if (!name.get()) return {};
    IXMLDOMNodeList* nodes = nullptr;
    if (FAILED(element_->getElementsByTagName(name.get(), &nodes)) || !nodes) return {};
    CXMLArchiveItemList list(document_, nodes);
    nodes->Release();
    return list;
}

bool CXMLArchiveItem::GetAttrString(const wchar_t* name, std::wstring& value, const wchar_t* defaultValue) const
{
    if (!name || !*name) return false;
    if (IsValid()) {
        platform::ScopedBstr attribute(name);
        VARIANT result;
        ::VariantInit(&result);
        if (attribute.get() && element_->getAttribute(attribute.get(), &result) == S_OK && result.vt == VT_BSTR) {
            value = result.bstrVal ? result.bstrVal : L"";
            ::VariantClear(&result);
            return true;
        }
        ::VariantClear(&result);
    }
    value = defaultValue ? defaultValue : L"";
    return false;
}

bool CXMLArchiveItem::GetAttrInt(const wchar_t* name, int& value, int defaultValue) const
{
    value = defaultValue;
    std::wstring text;
    if (!GetAttrString(name, text, nullptr)) return false;
    value = ParseAttrInt(text);
    return true;
}

// ---- CXMLArchiveItemList ---------------------------------------------------

CXMLArchiveItemList::CXMLArchiveItemList(IXMLDOMDocument* document, IXMLDOMNodeList* nodes)
    : document_(document), nodes_(nodes)
{
    AddRef(document_);
    AddRef(nodes_);
    long length = 0;
    if (nodes_ && SUCCEEDED(nodes_->get_length(&length)) && length > 0) count_ = length;
}

CXMLArchiveItemList::CXMLArchiveItemList(const CXMLArchiveItemList& other)
    : count_(other.count_), document_(other.document_), nodes_(other.nodes_)
{
    AddRef(document_);
    AddRef(nodes_);
}

CXMLArchiveItemList& CXMLArchiveItemList::operator=(const CXMLArchiveItemList& other)
{
    if (this != &other) {
        AddRef(other.document_);
        AddRef(other.nodes_);
        Reset();
        document_ = other.document_;
        nodes_ = other.nodes_;
        count_ = other.count_;
    }
    return *this;
}

CXMLArchiveItemList::~CXMLArchiveItemList()
{
    Reset();
}

void CXMLArchiveItemList::Reset()
{
    Release(nodes_);
    Release(document_);
    count_ = 0;
}

CXMLArchiveItem CXMLArchiveItemList::GetItem(long index) const
{
    if (!nodes_ || index < 0 || index >= count_) return {};
    platform::ComPtr<IXMLDOMNode> node;
    if (FAILED(nodes_->get_item(index, node.put())) || !node) return {};
    platform::ComPtr<IXMLDOMElement> element;
    if (FAILED(node->QueryInterface(IID_IXMLDOMElement, element.put_void())) || !element) return {};
    return CXMLArchiveItem(document_, element.get());
}

// ---- CXMLArchive -----------------------------------------------------------

CXMLArchive::~CXMLArchive()
{
    Close();
}

void CXMLArchive::Close()
{
    Release(document_);
}

HRESULT CXMLArchive::Open(const wchar_t* path, int create)
{
    Close();
    platform::ComPtr<IUnknown> unknown;
    HRESULT hr = ::CoCreateInstance(kClsidDomDocument, nullptr, CLSCTX_ALL, IID_IUnknown, unknown.put_void());
    if (FAILED(hr)) return hr;
    hr = ::OleRun(unknown.get());
    if (FAILED(hr)) return hr;
    IXMLDOMDocument* document = nullptr;
    hr = unknown->QueryInterface(kIidXmlDomDocument, reinterpret_cast<void**>(&document));
    if (FAILED(hr) || !document) return FAILED(hr) ? hr : E_NOINTERFACE;

    path_ = path ? path : L"";
    create_ = create;
    document->put_preserveWhiteSpace(VARIANT_TRUE);
    document->put_async(VARIANT_FALSE);

    hr = E_FAIL;
    if (path && ::PathFileExistsW(path) && !::PathIsDirectoryW(path)) {
        VARIANT source;
        ::VariantInit(&source);
        source.vt = VT_BSTR;
        source.bstrVal = ::SysAllocString(path);
        VARIANT_BOOL loaded = VARIANT_FALSE;
        if (!source.bstrVal)
            hr = E_OUTOFMEMORY;
        else if (SUCCEEDED(document->load(source, &loaded)) && loaded == VARIANT_TRUE)
            hr = S_OK;
        ::VariantClear(&source);
    }
    if (FAILED(hr)) {
        document->Release();
        return hr;
    }
    document_ = document;
    return S_OK;
}

CXMLArchiveItemList CXMLArchive::SelectNodes(const wchar_t* path) const
{
    if (!document_ || create_ || !path) return {};
    const std::wstring text = path;
    if (text.empty() || text.size() > 2048) return {};
    const std::vector<std::wstring> segments = SplitPath(text);
    if (segments.front().empty()) return {};

    platform::ScopedBstr first(segments.front().c_str());
    platform::ComPtr<IXMLDOMNodeList> list;
    if (!first.get() || FAILED(document_->getElementsByTagName(first.get(), list.put())) || !list) return {};

    // Every segment after the first looks below the first match of the one before.
    for (size_t i = 1; i < segments.size(); ++i) {
        IXMLDOMElement* parent = FirstElement(list.get());
        if (!parent) return {};
        platform::ScopedBstr name(segments[i].c_str());
        platform::ComPtr<IXMLDOMNodeList> children;
        const HRESULT hr = name.get() ? parent->getElementsByTagName(name.get(), children.put()) : E_OUTOFMEMORY;
        parent->Release();
        if (FAILED(hr) || !children) return {};
        list = std::move(children);
    }
    return CXMLArchiveItemList(document_, list.get());
}

CXMLArchiveItem CXMLArchive::SelectNode(const wchar_t* path) const
{
    return SelectNodes(path).GetItem(0);
}
