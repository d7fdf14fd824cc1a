#include "engine/render/shader/ShaderOperands.h"

#include "engine/render/shader/ShaderRegisters.h"

namespace zav::shader {
namespace {

constexpr int kLongestNumber = 4;  // digits of a register number or offset

// Component index of a mask or swizzle letter in its set, or -1.
int ComponentOf(char letter, bool* colorSet) {
    static const char kXyzw[] = "xyzw";
    static const char kRgba[] = "rgba";
    for (int i = 0; i < 4; ++i) {
        if (letter == kXyzw[i]) {
            *colorSet = false;
            return i;
        }
        if (letter == kRgba[i]) {
            *colorSet = true;
            return i;
        }
    }
    return -1;
}

// Reads the letters after '.'; false when they are not 1-4 components of
// one set. `components` gets their indices.
bool ReadComponents(LineCursor& cursor, int components[4], int* count) {
    const TextSpan letters = cursor.ReadLetters();
    if (letters.length < 1 || letters.length > 4) return false;
    bool firstSet = false;
    for (int i = 0; i < letters.length; ++i) {
        bool colorSet = false;
        components[i] = ComponentOf(letters.data[i], &colorSet);
        if (components[i] < 0) return false;
        if (i == 0) firstSet = colorSet;
        if (colorSet != firstSet) return false;
    }
    *count = letters.length;
    return true;
}

bool ReadNumber(const TextSpan& digits, int* value) {
    if (digits.IsEmpty() || digits.length > kLongestNumber) return false;
    int number = 0;
    for (int i = 0; i < digits.length; ++i) number = number * 10 + (digits.data[i] - '0');
    *value = number;
    return true;
}

bool ReadMask(LineCursor& cursor, const TextSpan& text, int line, uint8_t* mask, AssemblyError& error) {
    *mask = kMaskAll;
    if (!cursor.Accept('.')) return true;
    int components[4];
    int count = 0;
    bool valid = ReadComponents(cursor, components, &count);
    uint8_t bits = 0;
    for (int i = 0; valid && i < count; ++i) {
        valid = i == 0 || components[i] > components[i - 1];
        bits |= static_cast<uint8_t>(1 << components[i]);
    }
    if (!valid) return error.Report(line, "неверная маска записи в \"%s\".", Quoted(text).CStr());
    *mask = bits;
    return true;
}

bool ReadSwizzle(LineCursor& cursor, const TextSpan& text, int line, uint8_t* swizzle, AssemblyError& error) {
    *swizzle = 0xE4;
    if (!cursor.Accept('.')) return true;
    int components[4];
    int count = 0;
    if (!ReadComponents(cursor, components, &count))
        return error.Report(line, "неверная перестановка компонент в \"%s\".", Quoted(text).CStr());
    uint8_t bits = 0;
    for (int slot = 0; slot < 4; ++slot) {
        const int component = components[slot < count ? slot : count - 1];
        bits |= static_cast<uint8_t>(component << (2 * slot));
    }
    *swizzle = bits;
    return true;
}

// Reads "[a0.x + 8]" after a constant's name; `base` is the number before
// the bracket (0 when there is none) and becomes the register number.
bool ReadRelativeAddress(LineCursor& cursor, const TextSpan& text, int line, int* base, uint8_t* component,
                         AssemblyError& error) {
    bool haveAddress = false;
    do {
        const char next = cursor.Peek();
        if (next == 'a' || next == 'A') {
            const TextSpan name = cursor.ReadLetters();
            const TextSpan digits = cursor.ReadDigits();
            int components[4];
            int count = 0;
            if (haveAddress || name.length != 1 || !digits.Equals("0") || !cursor.Accept('.') ||
                !ReadComponents(cursor, components, &count) || count != 1)
                return error.Report(line, "неверная относительная адресация в \"%s\": нужен один индекс a0.x, a0.y, "
                                          "a0.z или a0.w.", Quoted(text).CStr());
            haveAddress = true;
            *component = static_cast<uint8_t>(components[0]);
        } else {
            int offset = 0;
            cursor.Peek();
            if (!ReadNumber(cursor.ReadDigits(), &offset))
                return error.Report(line, "неверная относительная адресация в \"%s\".", Quoted(text).CStr());
            *base += offset;
        }
    } while (cursor.Accept('+'));
    if (!cursor.Accept(']') || !haveAddress)
        return error.Report(line, "неверная относительная адресация в \"%s\".", Quoted(text).CStr());
    return true;
}

// Reads a register name and number (and a relative address when allowed).
bool ReadRegister(LineCursor& cursor, const TextSpan& text, int line, const ShaderVersion& version, Register* reg,
                  SourceOperand* relativeTarget, AssemblyError& error) {
    cursor.Peek();
    const TextSpan letters = cursor.ReadLetters();
    RegisterFile file = RegisterFile::kTemp;
    bool numbered = false;
    if (letters.IsEmpty() || !FindRegisterFile(letters.data, letters.length, &file, &numbered))
        return error.Report(line, "неизвестный регистр \"%s\".", Quoted(text).CStr());
    int number = 0;
    if (numbered) {
        const TextSpan digits = cursor.ReadDigits();
        const bool relative = file == RegisterFile::kConst && cursor.Peek() == '[';
        if (digits.IsEmpty() && !relative)
            return error.Report(line, "у регистра \"%s\" нет номера.", Quoted(text).CStr());
        if (!digits.IsEmpty() && !ReadNumber(digits, &number))
            return error.Report(line, "номер регистра \"%s\" слишком велик.", Quoted(text).CStr());
        if (relative) {
            if (!relativeTarget || !version.IsVertex() || !version.IsModel2())
                return error.Report(line, "относительная адресация \"%s\" возможна только в источниках vs_2_0.",
                                    Quoted(text).CStr());
            cursor.Accept('[');
            if (!ReadRelativeAddress(cursor, text, line, &number, &relativeTarget->relativeComponent, error))
                return false;
            relativeTarget->relative = true;
        }
    }
    reg->file = file;
    reg->number = static_cast<uint16_t>(number);
    if (number >= RegisterCount(version, file))
        return error.Report(line, "регистра %s нет в %s.", RegisterName(*reg).CStr(), version.Name());
    return true;
}

bool ExpectEnd(LineCursor& cursor, const TextSpan& text, int line, AssemblyError& error) {
    if (cursor.AtEnd()) return true;
    return error.Report(line, "лишние знаки в операнде \"%s\".", Quoted(text).CStr());
}

}  // namespace

bool ParseDestination(const TextSpan& text, int line, const ShaderVersion& version, DestinationOperand* operand,
                      AssemblyError& error) {
    LineCursor cursor(text.data, text.data + text.length, line);
    if (cursor.Peek() == '-')
        return error.Report(line, "у назначения \"%s\" не может быть минуса.", Quoted(text).CStr());
    if (!ReadRegister(cursor, text, line, version, &operand->reg, nullptr, error)) return false;
    if (!IsWritable(version, operand->reg.file))
        return error.Report(line, "в регистр %s нельзя записывать.", RegisterName(operand->reg).CStr());
    return ReadMask(cursor, text, line, &operand->writeMask, error) && ExpectEnd(cursor, text, line, error);
}

bool ParseSource(const TextSpan& text, int line, const ShaderVersion& version, SourceOperand* operand,
                 AssemblyError& error) {
    LineCursor cursor(text.data, text.data + text.length, line);
    operand->negate = cursor.Accept('-');
    if (!ReadRegister(cursor, text, line, version, &operand->reg, operand, error)) return false;
    const RegisterFile file = operand->reg.file;
    if (!IsReadable(version, file) && file != RegisterFile::kSampler)
        return error.Report(line, "регистр %s нельзя читать.", RegisterName(operand->reg).CStr());
    return ReadSwizzle(cursor, text, line, &operand->swizzle, error) && ExpectEnd(cursor, text, line, error);
}

bool ParseMaskedRegister(const TextSpan& text, int line, const ShaderVersion& version, Register* reg, uint8_t* mask,
                         AssemblyError& error) {
    LineCursor cursor(text.data, text.data + text.length, line);
    return ReadRegister(cursor, text, line, version, reg, nullptr, error) &&
           ReadMask(cursor, text, line, mask, error) && ExpectEnd(cursor, text, line, error);
}

}  // namespace zav::shader
