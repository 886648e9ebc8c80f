#include "swf/Actions.h"

#include "platform/CodePage.h"
#include "swf/SWFReader.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace pictova {

namespace {

// Windows-1252 byte for a Unicode character, '?' where it has none.
char UnicodeToAnsi(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (unsigned b = 0x80; b < 0xA0; ++b)
        if (AnsiCharToUnicode((unsigned char)b) == c)
            return char(b);
    return '?';
}

std::string Utf16ToAnsi(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text)
        out += (c >= 0xD800 && c <= 0xDFFF) ? '?' : UnicodeToAnsi(c);
    return out;
}

// Stored URLs are Windows-1252; movies carry UTF-8. Bytes that are not valid
// UTF-8 are kept as they are, since older movies hold 8-bit text there.
std::string Utf8ToAnsi(const std::string& text) {
    std::string out;
    for (std::string_view rest = text; !rest.empty();) {
        const TUtf8Char c = DecodeUtf8Char(rest, TUtf8Check::Lenient);
        if (c.Length == 0) {
            out += rest.front();
            rest.remove_prefix(1);
        } else {
            out += UnicodeToAnsi(c.Code);
            rest.remove_prefix(c.Length);
        }
    }
    return out;
}

template <class> inline constexpr bool AlwaysFalse = false;

std::string CodeText(uint8_t code) {
    const char* digits = "0123456789ABCDEF";
    return std::string("0x") + digits[code >> 4] + digits[code & 15];
}

double ParseNumber(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const double d = std::strtod(begin, &end);
    return end == begin ? 0.0 : d;
}

double ToDouble(const TSWFVariant& v) {
    return std::visit(
        [](const auto& x) -> double {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate> || std::is_same_v<T, std::nullptr_t> ||
                          std::is_same_v<T, TSWFByteArray>)
                return 0.0;
            else if constexpr (std::is_same_v<T, bool>)
                return x ? 1.0 : 0.0;
            else if constexpr (std::is_arithmetic_v<T>)
                return double(x);
            else if constexpr (std::is_same_v<T, TSWFCurrency>)
                return double(x.Scaled) / 10000.0;
            else if constexpr (std::is_same_v<T, TSWFDate>)
                return x.Days;
            else if constexpr (std::is_same_v<T, std::string>)
                return ParseNumber(x);
            else if constexpr (std::is_same_v<T, std::u16string>)
                return ParseNumber(Utf16ToAnsi(x));
            else
                static_assert(AlwaysFalse<T>);
        },
        v);
}

// Integers as they are; reals round to the nearest, halves to even, and
// saturate at the 64-bit range.
int64_t ToInteger(const TSWFVariant& v) {
    if (const auto* i = std::get_if<int64_t>(&v))
        return *i;
    if (const auto* u = std::get_if<uint32_t>(&v))
        return *u;
    const double d = std::nearbyint(ToDouble(v));
    if (!(d == d))
        return 0;
    if (d <= -9.2e18)
        return std::numeric_limits<int64_t>::min();
    if (d >= 9.2e18)
        return std::numeric_limits<int64_t>::max();
    return int64_t(d);
}

std::string NumberText(double d) {
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, d);
    return std::string(buffer, r.ptr);
}

std::string ToText(const TSWFVariant& v) {
    return std::visit(
        [](const auto& x) -> std::string {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::string>)
                return x;
            else if constexpr (std::is_same_v<T, std::u16string>)
                return Utf16ToAnsi(x);
            else if constexpr (std::is_same_v<T, bool>)
                return x ? "true" : "false";
            else if constexpr (std::is_integral_v<T>)
                return std::to_string(x);
            else if constexpr (std::is_floating_point_v<T>)
                return NumberText(double(x));
            else if constexpr (std::is_same_v<T, TSWFCurrency>)
                return NumberText(double(x.Scaled) / 10000.0);
            else if constexpr (std::is_same_v<T, TSWFDate>)
                return NumberText(x.Days);
            else
                return std::string();
        },
        v);
}

bool FitsInt32(int64_t i) {
    return i >= std::numeric_limits<int32_t>::min() && i <= std::numeric_limits<int32_t>::max();
}

// The Push type a variant kind gets; false when it has none.
bool Classify(const TSWFVariant& v, TSWFValueType& type) {
    return std::visit(
        [&type](const auto& x) -> bool {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                type = vtUndefined;
            else if constexpr (std::is_same_v<T, std::nullptr_t>)
                type = vtNull;
            else if constexpr (std::is_same_v<T, bool>)
                type = vtBoolean;
            else if constexpr (std::is_integral_v<T>)
                // An Integer value holds 32 bits; a larger one would arrive
                // truncated, so it travels as a double, which holds it exactly
                // up to 2^53.
                type = FitsInt32(int64_t(x)) ? vtInteger : vtDouble;
            else if constexpr (std::is_same_v<T, float>)
                type = vtFloat;
            else if constexpr (std::is_same_v<T, double> || std::is_same_v<T, TSWFCurrency> ||
                               std::is_same_v<T, TSWFDate>)
                type = vtDouble;
            else if constexpr (std::is_same_v<T, std::string> ||
                               std::is_same_v<T, std::u16string>) {
                const std::string text = ToText(x);
                type = text == FlashVarUndefined ? vtUndefined
                       : text == FlashVarNull    ? vtNull
                                                 : vtString;
            } else
                return false;
            return true;
        },
        v);
}

void WriteDouble(TBitsEngine& be, double d) {
    // The high 32-bit word first, then the low one, each little-endian.
    const uint64_t bits = std::bit_cast<uint64_t>(d);
    be.WriteDWord(uint32_t(bits >> 32));
    be.WriteDWord(uint32_t(bits));
}

double ReadDouble(TSWFReader& reader) {
    const uint64_t high = reader.ReadDWord();
    const uint64_t low = reader.ReadDWord();
    return std::bit_cast<double>(high << 32 | low);
}

} // namespace

void TSWFAction::ReadData(TSWFReader& reader) {
    reader.Skip(reader.Remaining());
}

void TSWFAction::WriteActionBody(TBitsEngine&) {}

void TSWFAction::WriteToStream(TBitsEngine& be) {
    if (ActionCode == 0xFE || ActionCode == 0xFF) {
        WriteActionBody(be);
        return;
    }
    be.WriteByte(ActionCode);
    if (ActionCode < 0x80)
        return;
    std::ostringstream payload;
    TBitsEngine payloadEngine(payload);
    WriteActionBody(payloadEngine);
    payloadEngine.FlushLastByte(true);
    const std::string bytes = std::move(payload).str();
    if (bytes.size() > 0xFFFF)
        throw std::runtime_error("action " + CodeText(ActionCode) + " has a payload of " +
                                 std::to_string(bytes.size()) +
                                 " bytes; an action record holds at most 65535");
    BodySize = uint16_t(bytes.size());
    be.WriteWord(BodySize);
    be.WriteBytes(bytes.data(), bytes.size());
}

void TSWFActionGotoFrame::ReadData(TSWFReader& reader) {
    Frame = reader.ReadWord();
}

void TSWFActionGotoFrame::WriteActionBody(TBitsEngine& be) {
    be.WriteWord(Frame);
}

void TSWFActionGetUrl::ReadData(TSWFReader& reader) {
    URL = Utf8ToAnsi(reader.ReadString());
    Target = reader.ReadString();
}

void TSWFActionGetUrl::WriteActionBody(TBitsEngine& be) {
    be.WriteString(URL, true, true);
    be.WriteString(Target, true, false);
}

void TSWFActionWaitForFrame::ReadData(TSWFReader& reader) {
    Frame = reader.ReadWord();
    SkipCount = reader.ReadByte();
}

void TSWFActionWaitForFrame::WriteActionBody(TBitsEngine& be) {
    be.WriteWord(Frame);
    be.WriteByte(SkipCount);
}

void TSWFActionSetTarget::ReadData(TSWFReader& reader) {
    TargetName = reader.ReadString();
}

void TSWFActionSetTarget::WriteActionBody(TBitsEngine& be) {
    be.WriteString(TargetName, true, false);
}

void TSWFActionGoToLabel::ReadData(TSWFReader& reader) {
    Label = reader.ReadString();
}

void TSWFActionGoToLabel::WriteActionBody(TBitsEngine& be) {
    be.WriteString(Label, true, false);
}

void TSWFActionGetURL2::ReadData(TSWFReader& reader) {
    const uint8_t b = reader.ReadByte();
    SendVarsMethod = TSWFSendVarsMethod(b >> 6);
    LoadTargetFlag = (b & 0x02) != 0;
    LoadVariablesFlag = (b & 0x01) != 0;
}

void TSWFActionGetURL2::WriteActionBody(TBitsEngine& be) {
    be.WriteBits(SendVarsMethod, 2);
    be.WriteBits(0, 4); // reserved
    be.WriteBit(LoadTargetFlag);
    be.WriteBit(LoadVariablesFlag);
}

void TSWFActionGotoFrame2::ReadData(TSWFReader& reader) {
    const uint8_t b = reader.ReadByte();
    SceneBiasFlag = (b & 0x02) != 0;
    PlayFlag = (b & 0x01) != 0;
    SceneBias = SceneBiasFlag ? reader.ReadWord() : 0;
}

void TSWFActionGotoFrame2::WriteActionBody(TBitsEngine& be) {
    be.WriteBits(0, 6); // reserved
    be.WriteBit(SceneBiasFlag);
    be.WriteBit(PlayFlag);
    if (SceneBiasFlag)
        be.WriteWord(SceneBias);
}

void TSWFActionConstantPool::ReadData(TSWFReader& reader) {
    const uint16_t count = reader.ReadWord();
    ConstantPool.clear();
    for (uint16_t i = 0; i < count; ++i)
        ConstantPool.push_back(reader.ReadString());
}

void TSWFActionConstantPool::WriteActionBody(TBitsEngine& be) {
    if (ConstantPool.size() > 0xFFFF)
        throw std::runtime_error("constant pool of " + std::to_string(ConstantPool.size()) +
                                 " strings; it holds at most 65535");
    be.WriteWord(uint16_t(ConstantPool.size()));
    for (const std::string& s : ConstantPool)
        be.WriteString(s, true, false);
}

void TSWFActionStoreRegister::ReadData(TSWFReader& reader) {
    RegisterNumber = reader.ReadByte();
}

void TSWFActionStoreRegister::WriteActionBody(TBitsEngine& be) {
    be.WriteByte(RegisterNumber);
}

uint8_t TSWFActionPush::MinVersion() const {
    for (const TPushValueInfo& v : Values)
        if (v.Valid && v.ValueType() != vtString && v.ValueType() != vtFloat)
            return 5;
    return 4;
}

size_t TSWFActionPush::AddValue(const TSWFVariant& value) {
    TPushValueInfo info;
    TSWFValueType type = vtUndefined;
    info.Valid = Classify(value, type);
    if (info.Valid)
        info.SetValueType(type);
    if (info.Valid && (type == vtNull || type == vtUndefined)) {
        // "FlashVar_undefined" keeps "undefined", "FlashVar_null" keeps "null";
        // the empty and null variants keep an empty text.
        const std::string text = ToText(value);
        info.Value = text.size() > 9 ? text.substr(9, 9) : std::string();
    } else {
        info.Value = value;
    }
    Values.push_back(std::move(info));
    return Values.size() - 1;
}

void TSWFActionPush::ReadData(TSWFReader& reader) {
    Values.clear();
    while (!reader.AtEnd()) {
        TPushValueInfo info;
        info.Valid = true;
        const uint8_t type = reader.ReadByte();
        switch (type) {
        case vtString:
            info.Value = reader.ReadString();
            break;
        case vtFloat:
            info.Value = std::bit_cast<float>(reader.ReadDWord());
            break;
        case vtNull:
            info.Value = std::string("null");
            break;
        case vtUndefined:
            info.Value = std::string("undefined");
            break;
        case vtRegister:
        case vtConstant8:
            info.Value = reader.ReadByte();
            break;
        case vtBoolean:
            info.Value = reader.ReadByte() != 0;
            break;
        case vtDouble:
            info.Value = ReadDouble(reader);
            break;
        case vtInteger:
            info.Value = int32_t(reader.ReadDWord());
            break;
        case vtConstant16:
            info.Value = reader.ReadWord();
            break;
        default:
            // The size of an unknown type's payload is unknown: nothing after it can be read.
            throw TSWFReadError("Push value of unknown type " + std::to_string(type) +
                                " at offset " + std::to_string(reader.Position() - 1));
        }
        // The value is kept as read: classifying it again would turn the
        // string "FlashVar_null" into a null.
        info.SetValueType(TSWFValueType(type));
        Values.push_back(std::move(info));
    }
}

void TSWFActionPush::WriteActionBody(TBitsEngine& be) {
    for (const TPushValueInfo& v : Values) {
        if (!v.Valid)
            continue;
        const TSWFValueType type = v.ValueType();
        be.WriteByte(type);
        switch (type) {
        case vtString:
            be.WriteString(ToText(v.Value), true, false);
            break;
        case vtFloat:
            be.WriteDWord(std::bit_cast<uint32_t>(float(ToDouble(v.Value))));
            break;
        case vtNull:
        case vtUndefined:
        case vtDefault:
            break;
        case vtRegister:
        case vtBoolean:
        case vtConstant8:
            be.WriteByte(uint8_t(ToInteger(v.Value)));
            break;
        case vtDouble:
            WriteDouble(be, ToDouble(v.Value));
            break;
        case vtInteger:
            be.WriteDWord(uint32_t(ToInteger(v.Value)));
            break;
        case vtConstant16:
            be.WriteWord(uint16_t(ToInteger(v.Value)));
            break;
        }
    }
}

} // namespace pictova
