#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "protocol/PacketFramer.h"
#include "tests/protocol/ProtocolTestSupport.h"

using namespace protocol_test;

namespace {

// Frames like the controller in its discovery phase: a decoded discovery reply identifies.
struct Recorder {
    PacketFramer framer;
    std::vector<Bytes> packets;

    void deliver(const Bytes& b) { deliver(b.data(), b.size()); }
    void deliver(const uint8_t* data, size_t length) { framer.deliver(data, length, handler()); }
    void finish() { framer.finish(handler()); }
    PacketFramer::Handler handler() {
        return [this](const uint8_t* p, size_t n, int type) {
            packets.emplace_back(p, p + n);
            if (type == 3 && !framer.identified() &&
                framer.protocol()->parseDescription(p, n, nullptr) == 0) {
                framer.setIdentified(true);
            }
        };
    }
};

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes sweep24() {
    Bytes b = packet(5, 260);
    for (size_t i = 4; i < b.size(); ++i)
        b[i] = static_cast<uint8_t>(i);
    return b;
}

Bytes thirdGenerationStream() {
    return concat({Bytes{0x00, 0x13, 0xAA}, discoveryTarno25(), packet(2, 3), sweep24(),
                   recordList({record(RecordFields{})}), Bytes{0x55}, packet(6, 4)});
}

}  // namespace

TEST(PacketFramer, IdentifiesAndFramesAWholeStream) {
    Recorder r;
    r.deliver(thirdGenerationStream());
    ASSERT_TRUE(r.framer.identified());
    ASSERT_NE(r.framer.protocol(), nullptr);
    EXPECT_EQ(r.framer.protocol()->generationCode(), 7);
    ASSERT_EQ(r.packets.size(), 5u);
    EXPECT_EQ(r.packets[0], discoveryTarno25());
    EXPECT_EQ(r.packets[1], packet(2, 3));
    EXPECT_EQ(r.packets[2], sweep24());
    EXPECT_EQ(r.packets[3].size(), 68u);
    EXPECT_EQ(r.packets[4], packet(6, 4));
    EXPECT_EQ(r.framer.buffered(), 0u);
}

TEST(PacketFramer, SameResultAtEverySplitPoint) {
    const Bytes reply = discoveryTarno25();
    const Bytes stream = concat({packet(2, 3), sweep24(), Bytes{0x00, 0x13},
                                 recordList({record(RecordFields{}), record(RecordFields{})}),
                                 Bytes{0xAA, 0x00}, packet(2, 3)});
    Recorder whole;
    whole.deliver(reply);
    whole.deliver(stream);
    ASSERT_EQ(whole.packets.size(), 5u);
    for (size_t split = 1; split < stream.size(); ++split) {
        Recorder r;
        r.deliver(reply);
        r.deliver(stream.data(), split);
        r.deliver(stream.data() + split, stream.size() - split);
        ASSERT_EQ(r.packets, whole.packets) << "split at " << split;
        ASSERT_EQ(r.framer.buffered(), 0u);
    }
    Recorder bytewise;
    bytewise.deliver(reply);
    for (uint8_t b : stream)
        bytewise.deliver(&b, 1);
    EXPECT_EQ(bytewise.packets, whole.packets);
}

TEST(PacketFramer, HaltAckCutAfterThreeBytesIsNotAPacket) {
    // The halt acknowledgement comes as one 4-byte transfer; three bytes of it are skipped as
    // no packet rather than waited for.
    Recorder r;
    r.deliver(discoveryTarno2());
    Bytes ack = packet(6, 4);
    r.deliver(ack.data(), 3);
    r.deliver(ack.data() + 3, 1);
    EXPECT_EQ(r.packets.size(), 1u);
    EXPECT_EQ(r.framer.buffered(), 0u);
}

TEST(PacketFramer, DiscoveryReplySplitAcrossReadsIsRetried) {
    // A reply that arrives in pieces frames as its 3-byte header, which does not decode; the
    // controller repeats the request and the next whole reply identifies the accessory.
    const Bytes reply = discoveryTarno25();
    Recorder r;
    r.deliver(reply.data(), 20);
    r.deliver(reply.data() + 20, reply.size() - 20);
    EXPECT_FALSE(r.framer.identified());
    r.deliver(reply);
    EXPECT_TRUE(r.framer.identified());
}

TEST(PacketFramer, WithLookaheadAFileReadInPiecesFramesAsOneRead) {
    // A file read in pieces: a discovery reply or halt acknowledgement cut by a piece's end must
    // not be taken for a short one, as it would be from a live transfer.
    const Bytes file = concat({Bytes{0x00, 0x13}, discoveryTarno25(), packet(2, 3), sweep24(),
                               packet(6, 4), recordList({record(RecordFields{})}), Bytes{0xAA}});
    Recorder whole;
    whole.deliver(file);
    ASSERT_EQ(whole.packets.size(), 5u);
    for (size_t piece = 1; piece <= 40; ++piece) {
        Recorder r;
        r.framer.setLookahead(300);  // beyond the longest packet of the file
        for (size_t at = 0; at < file.size(); at += piece)
            r.deliver(file.data() + at, std::min(piece, file.size() - at));
        r.finish();
        ASSERT_EQ(r.packets, whole.packets) << "pieces of " << piece;
        EXPECT_EQ(r.framer.buffered(), whole.framer.buffered());
    }
}

TEST(PacketFramer, KeepsAnIncompleteTailForTheNextDelivery) {
    Recorder r;
    r.deliver(discoveryTarno2());
    Bytes next = sweep24();
    Bytes first = concat({packet(2, 3), Bytes(next.begin(), next.begin() + 10)});
    r.deliver(first);
    EXPECT_EQ(r.packets.size(), 2u);
    EXPECT_EQ(r.framer.buffered(), 10u);
    r.deliver(next.data() + 10, next.size() - 10);
    ASSERT_EQ(r.packets.size(), 3u);
    EXPECT_EQ(r.packets[2], next);
}

TEST(PacketFramer, BeforeIdentificationOnlyDiscoveryCounts) {
    Recorder r;
    r.deliver(concat({packet(2, 3), packet(6, 4), Bytes{0xAA}}));
    EXPECT_TRUE(r.packets.empty());
    EXPECT_EQ(r.framer.protocol(), nullptr);
    EXPECT_EQ(r.framer.buffered(), 1u);  // a lone sync byte waits for more
}

TEST(PacketFramer, UnknownGenerationDropsTheBuffer) {
    Recorder r;
    Bytes reply = discoveryTarno2();
    reply[2] = 5;
    r.deliver(concat({reply, discoveryTarno2()}));
    EXPECT_TRUE(r.packets.empty());
    EXPECT_EQ(r.framer.protocol(), nullptr);
    EXPECT_EQ(r.framer.buffered(), 0u);
    EXPECT_EQ(r.framer.droppedBytes(), 120u);
}

TEST(PacketFramer, FailedDiscoveryKeepsLooking) {
    Recorder r;
    // A cut-short first-generation reply frames as 3 bytes and does not decode.
    Bytes shortReply = discoveryTarno();
    shortReply.resize(60);
    r.deliver(shortReply);
    EXPECT_FALSE(r.framer.identified());
    r.deliver(discoveryTarno());
    ASSERT_EQ(r.packets.size(), 2u);
    EXPECT_EQ(r.packets[0].size(), 3u);
    EXPECT_EQ(r.packets[1].size(), 68u);
    EXPECT_TRUE(r.framer.identified());
}

TEST(PacketFramer, NotAPacketSkipsTwoAndRejectDropsAll) {
    Recorder r;
    r.deliver(discoveryTarno25());
    // Type 0 is no packet of this generation: its two header bytes are skipped.
    r.deliver(concat({Bytes{0xAA, 0x00}, packet(2, 3)}));
    ASSERT_EQ(r.packets.size(), 2u);
    // A list announcing 21 records is rejected with everything after it.
    Bytes tooMany = packet(7, 4);
    tooMany[2] = 21;
    r.deliver(concat({tooMany, packet(2, 3)}));
    EXPECT_EQ(r.packets.size(), 2u);
    EXPECT_EQ(r.framer.buffered(), 0u);
}

TEST(PacketFramer, NeverCompletingHeaderCannotWedgeTheStream) {
    Recorder r;
    r.deliver(discoveryTarno());
    // The first generation answers "need more" to a type-7 header forever.
    Bytes header = {0xAA, 0xE0, 0x00};
    r.deliver(header);
    EXPECT_EQ(r.framer.buffered(), 3u);
    for (int i = 0; i < 1000; ++i) {
        uint8_t zero = 0;
        r.deliver(&zero, 1);
        ASSERT_LT(r.framer.buffered(), r.framer.protocol()->maximumPacketLength());
    }
    r.deliver(packet(2, 3));
    ASSERT_EQ(r.packets.size(), 2u);
    EXPECT_EQ(r.packets[1], packet(2, 3));
}

TEST(PacketFramer, DiscardForgetsTheTail) {
    Recorder r;
    r.deliver(discoveryTarno2());
    Bytes s = sweep24();
    r.deliver(s.data(), 100);
    r.framer.discard();
    r.deliver(s.data() + 100, s.size() - 100);
    EXPECT_EQ(r.packets.size(), 1u);
}

TEST(PacketFramer, NewDiscoveryBeforeIdentificationReplacesTheProtocol) {
    PacketFramer framer;
    framer.deliver(discoveryTarno().data(), 68, nullptr);
    ASSERT_NE(framer.protocol(), nullptr);
    EXPECT_EQ(framer.protocol()->generationCode(), 2);
    Bytes reply = discoveryTarno25();
    framer.deliver(reply.data(), reply.size(), nullptr);
    EXPECT_EQ(framer.protocol()->generationCode(), 7);
}
