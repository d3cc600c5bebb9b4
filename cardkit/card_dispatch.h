#pragma once
// The control's dispatch interface: members found by name ignoring case,
// properties read and written, methods called with their arguments.
#include <cstdint>
#include <string_view>
#include <vector>

#include "cardkit/card_control.h"
#include "cardkit/card_variant.h"
#include "cardkit/cardkit_export.h"

enum class DispatchKind { Method, PropertyGet, PropertyPut };

// Results of Invoke.
constexpr int32_t kDispOk = 0;
constexpr int32_t kDispMemberNotFound = int32_t(0x80020003);
constexpr int32_t kDispTypeMismatch = int32_t(0x80020005);
constexpr int32_t kDispBadParamCount = int32_t(0x8002000E);
constexpr int32_t kDispIdUnknown = -1;

// The dispatch id of a member (properties first, then the methods in the
// order of the interface), or kDispIdUnknown.
CARDKIT_EXPORT int32_t GetCardDispId(std::u16string_view name);
// The number of arguments a member takes (a property put takes one), or -1.
CARDKIT_EXPORT int GetCardParamCount(int32_t dispid);
CARDKIT_EXPORT bool IsCardProperty(int32_t dispid);

// Calls a member. A method is also reachable as a property get; a property
// get may also be called as a method.
CARDKIT_EXPORT int32_t InvokeCardControl(CCardControlCtrl &control, int32_t dispid,
                                         DispatchKind kind, const std::vector<CardVariant> &args,
                                         CardVariant *result);
CARDKIT_EXPORT int32_t InvokeCardControlByName(CCardControlCtrl &control, std::u16string_view name,
                                               DispatchKind kind,
                                               const std::vector<CardVariant> &args,
                                               CardVariant *result);
