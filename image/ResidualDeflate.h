// A raw deflate encoder for rows of continuous tone after PNG filtering. Their residuals are
// mostly noise: the only matches worth their cost are long ones found by chance, which a match
// finder hashing three bytes (zlib's) reaches only by walking long chains of useless candidates.
// Hashing kMinMatch bytes finds exactly the candidates that can pay, in a few steps.
//
// The encoder sees every byte of the stream (Add), also those another encoder compresses, so that
// its distances reach back into them; Encode compresses the bytes added since the last call.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace plenvue {

class ResidualDeflater {
public:
    static constexpr size_t kWindow = 32768;
    static constexpr size_t kMinMatch = 6;
    static constexpr size_t kMaxMatch = 258;

    ResidualDeflater();

    // Appends to the history; with `encode` the bytes are also compressed, as far as the lookahead
    // of the match finder allows (the rest waits for more bytes or Finish). History only is added
    // when nothing is pending: at the start or after Finish.
    void Add(const uint8_t* data, size_t count, bool encode);

    // Compresses what is pending and ends the run of blocks: the last one final, or followed by an
    // empty stored block so that the output ends on a byte boundary for another encoder to go on.
    void Finish(bool final);

    // The last `count` bytes of the stream (count <= kWindow and <= the bytes added): the window
    // another encoder needs to go on after this one.
    const uint8_t* Recent(size_t count) const { return buf_.data() + (buf_.size() - kPadding - count); }

    // Compressed bytes so far; the caller takes them out whenever it likes.
    std::vector<uint8_t>& Output() { return out_; }

private:
    struct Symbol {
        uint16_t litlen;  // a literal byte, or a match length when dist != 0
        uint16_t dist;
    };

    void EncodeUpTo(uint64_t end);
    void Insert(uint64_t pos);
    void FlushBlock(bool final);
    void PutBits(uint32_t bits, unsigned count);
    void AlignToByte();
    static constexpr size_t kPadding = 8;  // zero bytes behind the data: hashing reads 8 at once
    const uint8_t* At(uint64_t pos) const { return buf_.data() + (pos - base_); }

    std::vector<uint8_t> buf_;  // stream bytes from base_ on (the window and what is pending)
    uint64_t base_ = 0;         // stream position of buf_[0]
    uint64_t encoded_ = 0;      // stream position up to which symbols were made
    uint64_t blockStart_ = 0;   // stream position of the first byte of the current block
    bool unhashed_ = false;     // history was added that the match finder has not seen
    std::vector<uint64_t> head_, prev_;
    std::vector<Symbol> symbols_;
    std::vector<uint8_t> out_;
    uint64_t bitBuf_ = 0;
    unsigned bitCount_ = 0;
};

// Code lengths of a Huffman code for `freq`, none longer than `limit`; unused symbols get 0.
// Exposed for tests.
std::vector<uint8_t> HuffmanLengths(const std::vector<uint32_t>& freq, unsigned limit);

}  // namespace plenvue
