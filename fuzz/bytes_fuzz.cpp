// The byte readers under damaged data: FileBuffer, the checked readers of
// packed records, and the network's bit stream. The input starts with a
// count of operations and their three bytes each (which reader, and a size
// or position); the rest is the data they read. Every read either succeeds
// and returns exactly the bytes at the cursor, or fails and moves nothing.
#include <cstring>
#include <string>
#include <vector>

#include "core/base/ByteBuffer.h"
#include "core/base/FileBuffer.h"
#include "platform/net/BitStream.h"
#include "support/FuzzSupport.h"

using fuzzsupport::Check;

namespace {

struct Op {
    uint8_t kind;
    uint16_t value;
};

uint32_t BigEndian32(const uint8_t* at) {
    return (uint32_t{at[0]} << 24) | (uint32_t{at[1]} << 16) | (uint32_t{at[2]} << 8) | at[3];
}

void ExerciseCheckedReaders(const std::vector<Op>& ops, const uint8_t* data, uint32_t size) {
    uint32_t cursor = 0;
    for (const Op& op : ops) {
        const uint32_t before = cursor;
        const bool fits4 = uint64_t{cursor} + 4 <= size;
        switch (op.kind % 7) {
            case 0: {
                int32_t out = 12345;
                bool ok = BufferReadInt32BEChecked(&cursor, data, size, &out);
                Check(ok == fits4, "Int32BE refused a fitting read or took one past the end");
                if (ok)
                    Check(out == static_cast<int32_t>(BigEndian32(data + before)), "Int32BE read wrong bytes");
                else
                    Check(out == 12345, "a refused Int32BE read changed its output");
                break;
            }
            case 1: {
                uint32_t out = 777;
                bool ok = BufferReadUInt32RawChecked(&cursor, data, size, &out);
                Check(ok == fits4, "UInt32 refused a fitting read or took one past the end");
                if (!ok) Check(out == 777, "a refused UInt32 read changed its output");
                break;
            }
            case 2: {
                float out = 1.5f;
                bool ok = BufferReadFloatRawChecked(&cursor, data, size, &out);
                Check(ok == fits4, "Float refused a fitting read or took one past the end");
                break;
            }
            case 3: {
                std::string out = "kept";
                bool ok = BufferReadStringChecked(&cursor, data, size, &out);
                const void* zero = before < size ? std::memchr(data + before, 0, size - before) : nullptr;
                Check(ok == (zero != nullptr), "String disagrees about its terminating zero");
                if (ok)
                    Check(out == reinterpret_cast<const char*>(data + before), "String read wrong bytes");
                else
                    Check(out == "kept", "a refused String read changed its output");
                break;
            }
            case 4: {
                std::vector<uint8_t> out;
                bool ok = BufferReadBytesChecked(op.value, &cursor, data, size, &out);
                Check(ok == (uint64_t{before} + op.value <= size), "Bytes disagrees about what remains");
                if (ok)
                    Check(out.size() == op.value &&
                              (op.value == 0 || std::memcmp(out.data(), data + before, op.value) == 0),
                          "Bytes read wrong bytes");
                break;
            }
            case 5: {
                std::vector<uint8_t> out(op.value + 1u, 0xA5);
                bool ok = BufferReadBytesIntoChecked(out.data(), op.value, &cursor, data, size);
                Check(ok == (uint64_t{before} + op.value <= size), "BytesInto disagrees about what remains");
                Check(out[op.value] == 0xA5, "BytesInto wrote past its count");
                break;
            }
            default:
                cursor = op.value;  // a jump, possibly past the end
                continue;
        }
        Check(cursor >= before, "a read moved the cursor backwards");
    }
}

void ExerciseFileBuffer(const std::vector<Op>& ops, const uint8_t* data, uint32_t size) {
    fuzzsupport::WriteWholeFile("Input.bin", data, size);
    FileBuffer buffer;
    Check(buffer.Load("Input.bin"), "FileBuffer did not load a readable file");
    Check(buffer.GetSize() == size && (size == 0 || std::memcmp(buffer.GetData(), data, size) == 0),
          "FileBuffer loaded other bytes than the file's");
    std::vector<uint8_t> out;
    for (const Op& op : ops) {
        if (op.kind % 4 == 3) {
            buffer.SetPosition(op.value);
            continue;
        }
        const uint32_t itemSize = op.kind % 4 + 1, count = op.value;
        const uint32_t at = buffer.GetPosition();
        const bool fits = uint64_t{itemSize} * count <= (at < size ? size - at : 0);
        out.assign(uint64_t{itemSize} * count + 1, 0x5A);
        bool ok = buffer.Read(out.data(), itemSize, count);
        Check(ok == fits, "FileBuffer::Read disagrees about what remains");
        if (ok) {
            Check(count == 0 || std::memcmp(out.data(), data + at, uint64_t{itemSize} * count) == 0,
                  "FileBuffer::Read copied other bytes");
            Check(buffer.GetPosition() == at + itemSize * count, "FileBuffer::Read moved wrongly");
        } else {
            Check(buffer.GetPosition() == at, "a refused FileBuffer::Read moved the position");
        }
        Check(out.back() == 0x5A, "FileBuffer::Read wrote past what it was asked");
    }
    Check(!buffer.Load("Missing.bin") && !buffer.IsLoaded() && buffer.GetSize() == 0,
          "FileBuffer kept content after a failed load");
}

void ExerciseBitStream(const std::vector<Op>& ops, const uint8_t* data, size_t size) {
    net::BitStream stream(data, size);
    for (const Op& op : ops) {
        const size_t before = stream.GetReadOffset();
        bool ok = false;
        size_t width = 0;
        switch (op.kind % 6) {
            case 0: {
                uint8_t v;
                ok = stream.ReadU8(v);
                width = 1;
                break;
            }
            case 1: {
                uint32_t v;
                ok = stream.ReadU32(v);
                width = 4;
                break;
            }
            case 2: {
                uint64_t v;
                ok = stream.ReadU64(v);
                width = 8;
                break;
            }
            case 3: {
                double v;
                ok = stream.ReadDouble(v);
                width = 8;
                break;
            }
            case 4: {
                std::string text = "kept";
                ok = stream.ReadText(text);
                if (!ok)
                    Check(text == "kept" && stream.GetReadOffset() == before, "a refused text changed something");
                else
                    Check(stream.GetReadOffset() == before + 4 + text.size(), "a text moved the stream wrongly");
                continue;
            }
            default:
                ok = stream.IgnoreBytes(op.value);
                width = op.value;
                break;
        }
        Check(ok == (width <= size - before), "the bit stream disagrees about what remains");
        Check(stream.GetReadOffset() == (ok ? before + width : before), "the bit stream moved wrongly");
    }
    net::BitStream view(data, size);
    view.WriteU32(7);
    Check(view.GetLength() == size, "a view was written to");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::EnterWorkFolder();
    fuzzsupport::InputReader input(data, size);
    std::vector<Op> ops(input.Byte() % 48);
    for (Op& op : ops) {
        op.kind = input.Byte();
        op.value = input.U16();
    }
    const uint8_t* payload = input.Rest();
    const uint32_t length = static_cast<uint32_t>(input.RestSize());
    ExerciseCheckedReaders(ops, payload, length);
    ExerciseFileBuffer(ops, payload, length);
    ExerciseBitStream(ops, payload, length);
    return 0;
}
