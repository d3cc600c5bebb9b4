#include "cardkit/card_dispatch.h"

#include <iterator>

#include "cardkit/text_util.h"

using cardkit::EqualsIgnoreCase;

namespace {

using Args = std::vector<CardVariant>;
using C = CCardControlCtrl;

// ---- Properties: name, short field or text field --------------------------------

struct PropertyEntry
{
    std::u16string_view name;
    int16_t C::*number;
    std::u16string C::*text;
};

constexpr PropertyEntry kProperties[] = {
    {u"card_type", &C::card_type, nullptr},
    {u"errorFlag", &C::errorFlag, nullptr},
    {u"Name", nullptr, &C::Name},
    {u"Sex", nullptr, &C::Sex},
    {u"Nation", nullptr, &C::Nation},
    {u"Born", nullptr, &C::Born},
    {u"Address", nullptr, &C::Address},
    {u"CardNo", nullptr, &C::CardNo},
    {u"IssuedAt", nullptr, &C::IssuedAt},
    {u"EffectedDate", nullptr, &C::EffectedDate},
    {u"ExpiredDate", nullptr, &C::ExpiredDate},
    {u"Picture", nullptr, &C::Picture},
    {u"CardReaderId", nullptr, &C::CardReaderId},
};
constexpr int32_t kPropertyCount = int32_t(std::size(kProperties));

// ---- Methods: name, argument kinds (S short, I long, T text), call ----------------

using Call = CardVariant (*)(C &, const Args &);

struct MethodEntry
{
    std::u16string_view name;
    std::string_view params;
    Call call;
};

CardVariant S(int16_t v)
{
    return CardVariant::Short(v);
}
CardVariant T(std::u16string v)
{
    return CardVariant::Text(std::move(v));
}
int16_t A16(const Args &a, size_t i)
{
    return int16_t(a[i].number);
}
int32_t A32(const Args &a, size_t i)
{
    return a[i].number;
}
const std::u16string &AT(const Args &a, size_t i)
{
    return a[i].text;
}

const MethodEntry kMethods[] = {
    {u"Authenticate", "", [](C &c, const Args &) { return S(c.Authenticate()); }},
    {u"InitComm", "I", [](C &c, const Args &a) { return S(c.InitComm(A32(a, 0))); }},
    {u"CloseComm", "", [](C &c, const Args &) { return S(c.CloseComm()); }},
    {u"ReadBaseMsgP", "T", [](C &c, const Args &a) { return S(c.ReadBaseMsgP(AT(a, 0))); }},
    {u"ReadNewAppMsg", "", [](C &c, const Args &) { return S(c.ReadNewAppMsg()); }},
    {u"GetName", "", [](C &c, const Args &) { return T(c.GetName()); }},
    {u"GetSex", "", [](C &c, const Args &) { return T(c.GetSex()); }},
    {u"GetFolk", "", [](C &c, const Args &) { return T(c.GetFolk()); }},
    {u"GetBirthYear", "", [](C &c, const Args &) { return T(c.GetBirthYear()); }},
    {u"GetBirthMonth", "", [](C &c, const Args &) { return T(c.GetBirthMonth()); }},
    {u"GetBirthDay", "", [](C &c, const Args &) { return T(c.GetBirthDay()); }},
    {u"GetAddress", "", [](C &c, const Args &) { return T(c.GetAddress()); }},
    {u"GetAgency", "", [](C &c, const Args &) { return T(c.GetAgency()); }},
    {u"GetValid", "", [](C &c, const Args &) { return T(c.GetValid()); }},
    {u"GetCode", "", [](C &c, const Args &) { return T(c.GetCode()); }},
    {u"GetGov", "", [](C &c, const Args &) { return T(c.GetGov()); }},
    {u"GetValStart", "", [](C &c, const Args &) { return T(c.GetValStart()); }},
    {u"GetValEnd", "", [](C &c, const Args &) { return T(c.GetValEnd()); }},
    {u"GetNewAddress", "S", [](C &c, const Args &a) { return T(c.GetNewAddress(A16(a, 0))); }},
    {u"ReadBaseMsg", "", [](C &c, const Args &) { return S(c.ReadBaseMsg()); }},
    {u"ReadCardPort", "IT",
     [](C &c, const Args &a) { return S(c.ReadCardPort(A32(a, 0), AT(a, 1))); }},
    {u"GetSexN", "", [](C &c, const Args &) { return S(c.GetSexN()); }},
    {u"GetFolkN", "", [](C &c, const Args &) { return S(c.GetFolkN()); }},
    {u"getCardInfo", "", [](C &c, const Args &) { return S(c.getCardInfo()); }},
    {u"ReadICCard", "I", [](C &c, const Args &a) { return S(c.ReadICCard(A32(a, 0))); }},
    {u"GetICCardSN", "", [](C &c, const Args &) { return T(c.GetICCardSN()); }},
    {u"ReadTypeABlock", "SSST",
     [](C &c, const Args &a) {
         return T(c.ReadTypeABlock(A16(a, 0), A16(a, 1), A16(a, 2), AT(a, 3)));
     }},
    {u"WriteTypeABlock", "SSSTT",
     [](C &c, const Args &a) {
         return S(c.WriteTypeABlock(A16(a, 0), A16(a, 1), A16(a, 2), AT(a, 3), AT(a, 4)));
     }},
    {u"GetPhotobuf", "", [](C &c, const Args &) { return T(c.GetPhotobuf()); }},
    {u"ListReaderCard", "", [](C &c, const Args &) { return S(c.ListReaderCard()); }},
    {u"GetSAMID", "", [](C &c, const Args &) { return T(c.GetSAMID()); }},
    {u"ReadCard", "", [](C &c, const Args &) { return T(c.ReadCard()); }},
};
constexpr int32_t kMethodCount = int32_t(std::size(kMethods));

// Converts the arguments to the kinds a method declares.
bool Coerce(std::string_view params, const Args &args, Args *out)
{
    out->clear();
    for (size_t i = 0; i < params.size(); ++i) {
        if (params[i] == 'T') {
            out->push_back(CardVariant::Text(args[i].ToText()));
            continue;
        }
        const std::optional<int32_t> value =
            params[i] == 'S' ? std::optional<int32_t>(args[i].ToShort()) : args[i].ToLong();
        if (!value)
            return false;
        out->push_back(params[i] == 'S' ? CardVariant::Short(int16_t(*value))
                                        : CardVariant::Long(*value));
    }
    return true;
}

int32_t InvokeProperty(C &control, const PropertyEntry &p, DispatchKind kind, const Args &args,
                       CardVariant *result)
{
    if (kind == DispatchKind::PropertyPut) {
        if (args.size() != 1)
            return kDispBadParamCount;
        if (p.text) {
            control.*p.text = args[0].ToText();
            return kDispOk;
        }
        const auto value = args[0].ToShort();
        if (!value)
            return kDispTypeMismatch;
        control.*p.number = *value;
        return kDispOk;
    }
    if (!args.empty())
        return kDispBadParamCount;
    if (result)
        *result =
            p.text ? CardVariant::Text(control.*p.text) : CardVariant::Short(control.*p.number);
    return kDispOk;
}

} // namespace

int32_t GetCardDispId(std::u16string_view name)
{
    for (int32_t i = 0; i < kPropertyCount; ++i)
        if (EqualsIgnoreCase(kProperties[i].name, name))
            return i + 1;
    for (int32_t i = 0; i < kMethodCount; ++i)
        if (EqualsIgnoreCase(kMethods[i].name, name))
            return kPropertyCount + i + 1;
    return kDispIdUnknown;
}

bool IsCardProperty(int32_t dispid)
{
    return dispid >= 1 && dispid <= kPropertyCount;
}

int GetCardParamCount(int32_t dispid)
{
    if (IsCardProperty(dispid))
        return 0;
    const int32_t method = dispid - kPropertyCount - 1;
    if (method < 0 || method >= kMethodCount)
        return -1;
    return int(kMethods[method].params.size());
}

int32_t InvokeCardControl(C &control, int32_t dispid, DispatchKind kind, const Args &args,
                          CardVariant *result)
{
    if (IsCardProperty(dispid))
        return InvokeProperty(control, kProperties[dispid - 1], kind, args, result);
    const int32_t index = dispid - kPropertyCount - 1;
    if (index < 0 || index >= kMethodCount || kind == DispatchKind::PropertyPut)
        return kDispMemberNotFound;
    const MethodEntry &method = kMethods[index];
    if (args.size() != method.params.size())
        return kDispBadParamCount;
    Args coerced;
    if (!Coerce(method.params, args, &coerced))
        return kDispTypeMismatch;
    CardVariant value = method.call(control, coerced);
    if (result)
        *result = std::move(value);
    return kDispOk;
}

int32_t InvokeCardControlByName(C &control, std::u16string_view name, DispatchKind kind,
                                const Args &args, CardVariant *result)
{
    const int32_t dispid = GetCardDispId(name);
    if (dispid == kDispIdUnknown)
        return kDispMemberNotFound;
    return InvokeCardControl(control, dispid, kind, args, result);
}
