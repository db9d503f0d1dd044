#ifndef QUILO_FRAMEWORK_MFCLINK_H
#define QUILO_FRAMEWORK_MFCLINK_H

// The framework's hyperlink control, window class "MfcLink": a text drawn as a
// link that opens its address with the shell when clicked. A dialog template
// names the class directly; the address, its prefix and the tooltip arrive
// afterwards as control-initialisation data (message 0x0363 with the data's
// length and a pointer to it), as UTF-8 text in tag form:
//   <MFCLink_Url>host/path</MFCLink_Url><MFCLink_UrlPrefix>http://</MFCLink_UrlPrefix>...

#include <cstddef>
#include <string>

#include <windows.h>

constexpr wchar_t kMfcLinkClassName[] = L"MfcLink";
// The framework's message that hands a control its initialisation data.
constexpr UINT kInitControlMessage = 0x0363;

struct LinkProperties {
    std::wstring url;
    std::wstring urlPrefix;
    std::wstring tooltip;
    bool fullTextTooltip = false;
};

// Registers the window class once per process; true when it is available.
// Must run before a dialog whose template names the class is created.
bool RegisterMfcLinkClass();

// Decodes initialisation data: UTF-8 tag text, possibly padded with NULs.
// Properties that are absent keep their defaults (empty, false).
LinkProperties ParseLinkInitData(const char* data, size_t length);

// The text between <tag> and </tag>, or empty text when the pair is missing.
std::wstring LinkTagValue(const std::wstring& text, const std::wstring& tag);

// What a click opens: the prefix followed by the address.
std::wstring LinkTarget(const LinkProperties& properties);

// What the tooltip shows: the tooltip text when there is one; otherwise the
// control's own text when the full-text tooltip is asked for, else the target.
std::wstring LinkTooltipText(const LinkProperties& properties, const std::wstring& windowText);

#endif
