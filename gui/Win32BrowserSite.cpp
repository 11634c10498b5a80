#include "Win32BrowserSite.h"

#include "Backend.h"
#include "WebBrowser.h"
#include "charset/Unicode.h"

namespace {

constexpr UINT kAfterErrorMs = 3000;  // NavigateError without an error page

std::string Utf8(const BSTR text) {
  return text ? Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(text))) : std::string();
}

}  // namespace

bool BrowserSite::Create() {
  HRESULT hr = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&object_));
  if (FAILED(hr)) {
    GuiBackend().ToolkitNote("browser-unavailable " + std::to_string(static_cast<unsigned long>(hr)));
    return false;
  }
  object_->SetClientSite(this);
  RECT rect = Bounds();
  hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &rect);
  if (SUCCEEDED(hr)) hr = object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&web_));
  if (FAILED(hr) || !web_) {
    GuiBackend().ToolkitNote("browser-unavailable " + std::to_string(static_cast<unsigned long>(hr)));
    Close();
    return false;
  }
  web_->put_Silent(VARIANT_TRUE);  // no script error dialogs
  IConnectionPointContainer* container = nullptr;
  if (SUCCEEDED(web_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)))) {
    if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point_)))
      point_->Advise(static_cast<IDispatch*>(this), &cookie_);
    container->Release();
  }
  Resize();
  return true;
}

void BrowserSite::Close() {
  if (point_) {
    point_->Unadvise(cookie_);
    point_->Release();
    point_ = nullptr;
  }
  if (web_) {
    web_->Release();
    web_ = nullptr;
  }
  if (object_) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_->Release();
    object_ = nullptr;
  }
  browser_ = nullptr;
}

void BrowserSite::Resize() {
  if (!object_) return;
  IOleInPlaceObject* inPlace = nullptr;
  if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
    RECT r = Bounds();
    inPlace->SetObjectRects(&r, &r);
    inPlace->Release();
  }
}

bool BrowserSite::Navigate(const std::u16string& address) {
  if (!web_) return false;
  BSTR url = SysAllocString(reinterpret_cast<const OLECHAR*>(address.c_str()));
  VARIANT empty;
  VariantInit(&empty);
  completed_ = false;
  const HRESULT hr = web_->Navigate(url, &empty, &empty, &empty, &empty);
  SysFreeString(url);
  if (FAILED(hr)) GuiBackend().ToolkitNote("navigate-failed " + std::to_string(static_cast<unsigned long>(hr)));
  return SUCCEEDED(hr);
}

STDMETHODIMP BrowserSite::QueryInterface(REFIID riid, void** out) {
  if (riid == IID_IUnknown || riid == IID_IOleClientSite)
    *out = static_cast<IOleClientSite*>(this);
  else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
    *out = static_cast<IOleInPlaceSite*>(this);
  else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
    *out = static_cast<IOleInPlaceFrame*>(this);
  else if (riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2)
    *out = static_cast<IDispatch*>(this);
  else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP BrowserSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                           LPOLEINPLACEFRAMEINFO info) {
  *frame = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *doc = nullptr;
  *pos = *clip = Bounds();
  info->fMDIApp = FALSE;
  info->hwndFrame = window_;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP BrowserSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  if (!browser_) return S_OK;
  if (id == DISPID_DOCUMENTCOMPLETE && params && params->cArgs >= 2) {
    // Frames of a page complete too; the pane's document is the browser's own.
    IDispatch* document = params->rgvarg[1].vt == VT_DISPATCH ? params->rgvarg[1].pdispVal : nullptr;
    IUnknown* a = nullptr;
    IUnknown* b = nullptr;
    bool top = true;
    if (document && web_ && SUCCEEDED(document->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a))) &&
        SUCCEEDED(web_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b))))
      top = a == b;
    if (a) a->Release();
    if (b) b->Release();
    if (!top) return S_OK;
    const VARIANT& url = params->rgvarg[0];
    const VARIANT* inner = url.vt == (VT_BYREF | VT_VARIANT) ? url.pvarVal : &url;
    const std::string address = inner && inner->vt == VT_BSTR ? Utf8(inner->bstrVal) : std::string();
    completed_ = true;
    KillTimer(window_, reinterpret_cast<UINT_PTR>(this));
    GuiBackend().DocumentShown(*browser_, address);
  } else if (id == DISPID_NAVIGATEERROR) {
    GuiBackend().ToolkitNote("navigate-error");
    // The control shows its error page and completes it; should it not, the pane is
    // reported complete shortly after.
    SetTimer(window_, reinterpret_cast<UINT_PTR>(this), kAfterErrorMs, nullptr);
  }
  return S_OK;
}

RECT BrowserSite::Bounds() const {
  if (!browser_) return RECT{0, 0, 0, 0};
  return RECT{browser_->Left(), browser_->Top(), browser_->Left() + browser_->Width(),
              browser_->Top() + browser_->Height()};
}
