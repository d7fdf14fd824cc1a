#pragma once

#include <cstdint>
#include <string>

#include "engine/core/Object.h"
#include "engine/core/Stream.h"

// Object records as plain bytes: what a stream writes, a stream over given
// bytes, and the encodings tests build records from by hand.
namespace zav::test {

// A stream whose buffer holds exactly `bytes`, cursor at the start.
struct BytesStream : Stream {
    explicit BytesStream(const std::string& bytes);
};

// The bytes written to `stream` so far.
std::string Written(const Stream& stream);

// The bytes of `object`'s reference written to a fresh stream.
std::string SaveToBytes(Object* object);
// One reference read back from `bytes`; `state` gets the stream's state. A
// failed read hands out nothing.
Ref<Object> LoadFromBytes(const std::string& bytes, int* state = nullptr);

std::string Int32Bytes(int32_t value);
// A string as the stream writes it: its length, then its characters.
std::string TextBytes(const std::string& text);
// An object reference's opening: the stream ID and the type name.
std::string RecordHeader(int32_t id, const std::string& typeName);
// The record of a nameless Object without controllers.
std::string EmptyObjectRecord();

}  // namespace zav::test
