#pragma once
// The control as an in-process server: creation by programmatic identifier
// and the server entry points that add and remove its record in the
// registry file of in-process servers (one line per server:
// progid TAB class id TAB library path).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cardkit/card_control.h"
#include "cardkit/cardkit_export.h"

constexpr std::u16string_view kCardControlProgId = u"CARDCONTROL.CardControlCtrl.1";
constexpr std::u16string_view kCardPropPageProgId = u"CARDCONTROL.CardControlPropPage.1";
constexpr std::string_view kCardControlClsid = "{5A6C3D1E-8B2F-4E7A-9C41-0D2B7E6F3A18}";

// A new control when `progid` names it (ASCII case ignored), else null. The
// caller owns the control.
CARDKIT_EXPORT CCardControlCtrl *CreateCardControl(std::u16string_view progid);

// The registry file in use: the configured path, else
// $XDG_CONFIG_HOME/zep/inproc-servers (~/.config when unset).
CARDKIT_EXPORT std::string CardRegistryPath();

// The library path recorded for `progid`, if it is registered.
CARDKIT_EXPORT std::optional<std::string> FindRegisteredServer(std::u16string_view progid);

// Server entry points: 0 on success, 0x80004005 on failure; DllCanUnloadNow
// gives 0 when no control is alive, else 1.
extern "C" {
CARDKIT_EXPORT int32_t DllRegisterServer();
CARDKIT_EXPORT int32_t DllUnregisterServer();
CARDKIT_EXPORT int32_t DllCanUnloadNow();
}
