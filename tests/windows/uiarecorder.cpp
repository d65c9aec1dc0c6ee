// A stand-in for UI Automation's core, for the tests alone: installed in a throwaway Wine
// prefix in place of Wine's own, it tells the program that a client listens and writes every
// event the program raises to the file VELMORA_UIA_LOG names; it passes the rest on to Wine's
// core, kept beside it as uiautomationcore-wine.dll. Wine 8.0's core serves no client in
// another process, so the test looks from inside the program's.
//
// Each record is the call, its event, property or notification kind and processing, the
// element's name and AutomationId, the text, and the element's HelpText and FullDescription,
// separated by U+001F and ended by U+001E, in UTF-8.
//
// A screen reader asks a window for its element when the window comes up; rundll32 does the
// same for a test: "rundll32 uiautomationcore.dll,Listen TITLE" asks the window whose title
// holds TITLE.
#include <windows.h>
#include <ole2.h>
#include <uiautomationcore.h>

#include <cstdio>
#include <cstring>
#include <string>

#define EXPORT extern "C" __declspec(dllexport)

namespace {

constexpr LPARAM rootObjectId = -25; // UiaRootObjectId
constexpr PROPERTYID nameProperty = 30005;
constexpr PROPERTYID automationIdProperty = 30011;
constexpr PROPERTYID helpTextProperty = 30013;
constexpr PROPERTYID fullDescriptionProperty = 30159;

template <class Call> Call wineOwn(const char *name)
{
    static HMODULE core = LoadLibraryW(L"uiautomationcore-wine.dll");
    return core ? reinterpret_cast<Call>(reinterpret_cast<void *>(GetProcAddress(core, name)))
                : nullptr;
}

std::string utf8(const wchar_t *text)
{
    if (!text)
        return {};
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr), 0);
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), int(bytes.size()), nullptr, nullptr);
    bytes.pop_back();
    return bytes;
}

std::wstring property(IRawElementProviderSimple *element, PROPERTYID id)
{
    VARIANT value;
    VariantInit(&value);
    if (!element || FAILED(element->GetPropertyValue(id, &value)) || value.vt != VT_BSTR)
        return {};
    std::wstring text(value.bstrVal, SysStringLen(value.bstrVal));
    VariantClear(&value);
    return text;
}

void record(const char *call, long id, IRawElementProviderSimple *element, const wchar_t *text)
{
    wchar_t path[MAX_PATH];
    if (!GetEnvironmentVariableW(L"VELMORA_UIA_LOG", path, MAX_PATH))
        return;
    const std::string line = std::string(call) + '\x1f' + std::to_string(id) + '\x1f'
        + utf8(property(element, nameProperty).c_str()) + '\x1f'
        + utf8(property(element, automationIdProperty).c_str()) + '\x1f' + utf8(text) + '\x1f'
        + utf8(property(element, helpTextProperty).c_str()) + '\x1f'
        + utf8(property(element, fullDescriptionProperty).c_str()) + '\x1e';
    if (FILE *file = _wfopen(path, L"ab")) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fclose(file);
    }
}

BOOL CALLBACK matchTitle(HWND window, LPARAM search)
{
    auto &[title, found] = *reinterpret_cast<std::pair<const char *, HWND> *>(search);
    char shown[512];
    GetWindowTextA(window, shown, sizeof shown);
    if (!IsWindowVisible(window) || !std::strstr(shown, title))
        return TRUE;
    found = window;
    return FALSE;
}

void ask(const char *title)
{
    std::pair<const char *, HWND> search { title, nullptr };
    EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
    DWORD_PTR answer;
    if (search.second)
        SendMessageTimeoutW(search.second, WM_GETOBJECT, 0, rootObjectId, SMTO_BLOCK, 10000,
            &answer);
}

} // namespace

EXPORT BOOL WINAPI UiaClientsAreListening()
{
    return TRUE;
}

EXPORT HRESULT WINAPI UiaRaiseAutomationEvent(IRawElementProviderSimple *element, EVENTID id)
{
    record("event", id, element, nullptr);
    return S_OK;
}

EXPORT HRESULT WINAPI UiaRaiseAutomationPropertyChangedEvent(
    IRawElementProviderSimple *element, PROPERTYID id, VARIANT, VARIANT value)
{
    record("property", id, element, value.vt == VT_BSTR ? value.bstrVal : nullptr);
    return S_OK;
}

EXPORT HRESULT WINAPI UiaRaiseNotificationEvent(
    IRawElementProviderSimple *element, int kind, int processing, BSTR text, BSTR)
{
    record("notification", kind * 10 + processing, element, text);
    return S_OK;
}

EXPORT HRESULT WINAPI UiaHostProviderFromHwnd(HWND window, IRawElementProviderSimple **provider)
{
    *provider = nullptr;
    auto own = wineOwn<HRESULT(WINAPI *)(HWND, IRawElementProviderSimple **)>(
        "UiaHostProviderFromHwnd");
    return own ? own(window, provider) : E_NOTIMPL;
}

EXPORT LRESULT WINAPI UiaReturnRawElementProvider(
    HWND window, WPARAM wparam, LPARAM lparam, IRawElementProviderSimple *root)
{
    auto own = wineOwn<LRESULT(WINAPI *)(HWND, WPARAM, LPARAM, IRawElementProviderSimple *)>(
        "UiaReturnRawElementProvider");
    return own ? own(window, wparam, lparam, root) : 0;
}

EXPORT void CALLBACK Listen(HWND, HINSTANCE, LPSTR title, int)
{
    ask(title);
}
