#include "formats/it/ItSampleDecompression.h"

#include "mixer/Mixer.h"
#include "platform/Heap.h"
#include "song/ByteOrder.h"
#include "song/ByteReader.h"
#include "song/StereoSampleData.h"

#include <cstring>

namespace tolva {

namespace {

// Least significant bit first, never past the block's last byte.
class BitReader {
public:
    BitReader(const uint8_t* data, uint32_t size) : data_(data), size_(size) {}

    bool read(uint32_t width, uint32_t& code) {
        while (count_ < width && position_ < size_) {
            buffer_ |= static_cast<uint32_t>(data_[position_++]) << count_;
            count_ += 8;
        }
        if (count_ < width)
            return false;
        code = buffer_ & ((1u << width) - 1);
        buffer_ >>= width;
        count_ -= width;
        return true;
    }

private:
    const uint8_t* data_;
    uint32_t size_;
    uint32_t position_ = 0;
    uint32_t buffer_ = 0; // at most 24 bits are ever buffered
    uint32_t count_ = 0;
};

// Code widths and the integrator type of one sample size.
template <typename Value> struct BlockCode;

template <> struct BlockCode<uint8_t> {
    static constexpr uint32_t topWidth = 9;
    static constexpr uint32_t escapeBits = 3; // field after a narrow width's escape code
    static constexpr uint32_t valueMask = 0xFF;
    static constexpr uint32_t borderHalf = 4; // width changes sit around the largest values
};

template <> struct BlockCode<uint16_t> {
    static constexpr uint32_t topWidth = 17;
    static constexpr uint32_t escapeBits = 4;
    static constexpr uint32_t valueMask = 0xFFFF;
    static constexpr uint32_t borderHalf = 8;
};

template <typename Value>
bool decodeBlock(const uint8_t* block, uint32_t size, uint8_t* out, uint32_t count,
                 bool doubleDelta) {
    using Code = BlockCode<Value>;
    constexpr uint32_t valueBits = Code::topWidth - 1;
    BitReader bits(block, size);
    uint32_t width = Code::topWidth;
    Value first = 0;
    Value second = 0;
    uint32_t done = 0;
    while (done < count) {
        uint32_t code;
        if (!bits.read(width, code))
            break;
        if (width < 7) {
            if (code == 1u << (width - 1)) {
                uint32_t field;
                if (!bits.read(Code::escapeBits, field))
                    break;
                uint32_t next = field + 1;
                width = next < width ? next : next + 1;
                continue;
            }
        } else if (width < Code::topWidth) {
            uint32_t border = (Code::valueMask >> (Code::topWidth - width)) - Code::borderHalf;
            if (code > border && code <= border + 2 * Code::borderHalf) {
                uint32_t next = code - border;
                width = next < width ? next : next + 1;
                continue;
            }
        } else if (code & (1u << valueBits)) {
            uint32_t next = (code & 0xFF) + 1;
            // Wider codes than the top width cannot come from a sound encoder.
            if (next > Code::topWidth)
                break;
            width = next;
            continue;
        }
        uint32_t value = code;
        if (width < valueBits) {
            uint32_t sign = 1u << (width - 1);
            value = (code ^ sign) - sign; // sign extension, modulo 2^32
        }
        if (doubleDelta) {
            second = static_cast<Value>(second + value);
            first = static_cast<Value>(first + second);
        } else {
            first = static_cast<Value>(first + value);
        }
        std::memcpy(out + sizeof(Value) * done++, &first, sizeof(Value));
    }
    bool intact = done == count;
    for (; done < count; ++done)
        std::memcpy(out + sizeof(Value) * done, &first, sizeof(Value));
    return intact;
}

// Decodes `values` values of one channel, block after block, from the stream.
bool decodeChannel(ByteReader& in, uint8_t* input, uint8_t* out, uint32_t values,
                   uint32_t bytesPerSample, bool doubleDelta) {
    uint32_t perBlock = bytesPerSample == 2 ? ItBlockValues16 : ItBlockValues8;
    while (values) {
        uint32_t count = values < perBlock ? values : perBlock;
        const uint32_t size = in.u16le();
        if (!in.bytes(input, size).ok())
            return false;
        decodeItBlock(input, size, out, count, bytesPerSample, doubleDelta);
        out += count * bytesPerSample;
        values -= count;
    }
    return true;
}

} // namespace

bool decodeItBlock(const uint8_t* block, uint32_t size, void* out, uint32_t count,
                   uint32_t bytesPerSample, bool doubleDelta) {
    auto* target = static_cast<uint8_t*>(out);
    if (bytesPerSample == 2)
        return decodeBlock<uint16_t>(block, size, target, count, doubleDelta);
    return decodeBlock<uint8_t>(block, size, target, count, doubleDelta);
}

uint8_t* decompressItSample(Mixer& mixer, InputStream& stream, uint32_t frameCount,
                            uint32_t bytesPerSample, bool doubleDelta, bool stereo) {
    uint64_t channelValues = frameCount;
    uint64_t values = channelValues * (stereo ? 2 : 1);
    uint64_t bytes = values * bytesPerSample;
    // Every decoded value costs at least one bit of the file.
    ByteReader in(stream);
    if (frameCount == 0 || values > uint64_t{in.left()} * 8 || bytes > 0xFFFFFFFFu)
        return nullptr;

    auto* input = static_cast<uint8_t*>(platform::allocate(ItMaxBlockBytes));
    auto* pcm = static_cast<uint8_t*>(platform::allocate(static_cast<std::size_t>(bytes)));
    uint8_t* result = nullptr;
    if (input && pcm) {
        uint32_t channelBytes = static_cast<uint32_t>(channelValues * bytesPerSample);
        bool decoded = decodeChannel(in, input, pcm, frameCount, bytesPerSample, doubleDelta) &&
                       (!stereo || decodeChannel(in, input, pcm + channelBytes, frameCount,
                                                 bytesPerSample, doubleDelta));
        if (decoded &&
            (!stereo || interleaveStereo(pcm, static_cast<uint32_t>(bytes), bytesPerSample)))
            result = mixer.copySampleData(pcm, static_cast<uint32_t>(bytes));
    }
    platform::release(pcm);
    platform::release(input);
    return result;
}

} // namespace tolva
