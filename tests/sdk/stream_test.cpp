#include "base/source/fstreamer.h"
#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace Steinberg;

namespace {
std::vector<uint8> bytesOf(MemoryStream& s)
{
	const uint8* p = reinterpret_cast<const uint8*>(s.getData());
	return std::vector<uint8>(p, p + s.getSize());
}
} // namespace

TEST(IBStreamer, WritesLittleEndianByDefaultAndReadsBack)
{
	MemoryStream stream;
	IBStreamer out(&stream, kLittleEndian);
	ASSERT_TRUE(out.writeInt32(0x01020304));
	ASSERT_TRUE(out.writeDouble(0.75));
	ASSERT_TRUE(out.writeInt16u(0xBEEF));
	ASSERT_TRUE(out.writeInt64(-2));
	ASSERT_TRUE(out.writeFloat(-1.5f));
	ASSERT_TRUE(out.writeBool(true));
	ASSERT_TRUE(out.writeInt8(-3));

	const std::vector<uint8> expected = {
	    0x04, 0x03, 0x02, 0x01,                         // int32
	    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE8, 0x3F, // 0.75
	    0xEF, 0xBE,                                     // uint16
	    0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, // int64 -2
	    0x00, 0x00, 0xC0, 0xBF,                         // -1.5f
	    0x01, 0x00,                                     // bool as int16
	    0xFD};
	EXPECT_EQ(expected, bytesOf(stream));

	stream.seek(0, IBStream::kIBSeekSet, nullptr);
	IBStreamer in(&stream, kLittleEndian);
	int32 i32 = 0;
	double d = 0;
	uint16 u16 = 0;
	int64 i64 = 0;
	float f = 0;
	bool b = false;
	int8 i8 = 0;
	ASSERT_TRUE(in.readInt32(i32) && in.readDouble(d) && in.readInt16u(u16) && in.readInt64(i64) &&
	            in.readFloat(f) && in.readBool(b) && in.readInt8(i8));
	EXPECT_EQ(0x01020304, i32);
	EXPECT_EQ(0.75, d);
	EXPECT_EQ(0xBEEF, u16);
	EXPECT_EQ(-2, i64);
	EXPECT_EQ(-1.5f, f);
	EXPECT_TRUE(b);
	EXPECT_EQ(-3, i8);
	EXPECT_FALSE(in.readInt8(i8)); // at the end
}

TEST(IBStreamer, BigEndianSwapsAndNonFiniteValuesPassUnchanged)
{
	MemoryStream stream;
	IBStreamer out(&stream, kBigEndian);
	ASSERT_TRUE(out.writeInt32u(0x01020304u));
	ASSERT_TRUE(out.writeDouble(std::numeric_limits<double>::infinity()));
	ASSERT_TRUE(out.writeDouble(std::nan("")));
	const std::vector<uint8> b = bytesOf(stream);
	ASSERT_EQ(20u, b.size());
	EXPECT_EQ((std::vector<uint8>{1, 2, 3, 4}), std::vector<uint8>(b.begin(), b.begin() + 4));
	EXPECT_EQ(0x7F, b[4]);
	EXPECT_EQ(0xF0, b[5]);

	stream.seek(0, IBStream::kIBSeekSet, nullptr);
	IBStreamer in(&stream, kBigEndian);
	uint32 u = 0;
	double inf = 0, nan = 0;
	ASSERT_TRUE(in.readInt32u(u) && in.readDouble(inf) && in.readDouble(nan));
	EXPECT_EQ(0x01020304u, u);
	EXPECT_TRUE(std::isinf(inf) && inf > 0);
	EXPECT_TRUE(std::isnan(nan));
}

// An item that does not fit fails: a read leaves the value alone (and consumes what was there),
// a write puts nothing of it into the stream; without a stream everything fails.
TEST(IBStreamer, ItemsThatDoNotFitFailAndChangeNothing)
{
	char bytes[7] = {1, 2, 3, 4, 5, 6, 7};
	MemoryStream stream(bytes, sizeof(bytes));
	IBStreamer io(&stream, kLittleEndian);
	int64 i64 = 42;
	EXPECT_FALSE(io.readInt64(i64));
	EXPECT_EQ(42, i64);
	EXPECT_EQ(7, io.tell());
	io.seek(4, kSeekSet);
	int32 i32 = 9;
	EXPECT_FALSE(io.readInt32(i32)); // 3 bytes left
	EXPECT_EQ(9, i32);
	io.seek(5, kSeekSet);
	int16 i16 = 0;
	EXPECT_TRUE(io.readInt16(i16));
	EXPECT_EQ(0x0706, i16);
	double d = 1.0;
	EXPECT_FALSE(io.readDouble(d));
	EXPECT_EQ(1.0, d);

	io.seek(0, kSeekSet);
	EXPECT_TRUE(io.writeInt32(-1));
	EXPECT_FALSE(io.writeInt32(-1)); // 3 bytes of room left
	EXPECT_TRUE(io.writeInt16(0x0102));
	EXPECT_FALSE(io.writeInt16(0x0304));
	EXPECT_EQ(0x02, bytes[4]);
	EXPECT_EQ(7, bytes[6]);

	IBStreamer none(nullptr);
	EXPECT_FALSE(none.writeInt32(1));
	EXPECT_FALSE(none.readInt32(i32));
	EXPECT_EQ(9, i32);
	EXPECT_EQ(-1, none.tell());
}

TEST(MemoryStream, SeekTellAndShortReads)
{
	MemoryStream s;
	char data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
	int32 n = -1;
	ASSERT_EQ(kResultOk, s.write(data, 10, &n));
	EXPECT_EQ(10, n);

	int64 pos = -1;
	EXPECT_EQ(kResultOk, s.tell(&pos));
	EXPECT_EQ(10, pos);
	EXPECT_EQ(kResultOk, s.seek(-4, IBStream::kIBSeekEnd, &pos));
	EXPECT_EQ(6, pos);
	EXPECT_EQ(kResultOk, s.seek(1, IBStream::kIBSeekCur, &pos));
	EXPECT_EQ(7, pos);

	char buf[8] = {};
	EXPECT_EQ(kResultOk, s.read(buf, 8, &n));
	EXPECT_EQ(3, n);
	EXPECT_EQ(7, buf[0]);
	EXPECT_EQ(9, buf[2]);
	EXPECT_EQ(kResultOk, s.read(buf, 8, &n));
	EXPECT_EQ(0, n);

	// Bad arguments change nothing.
	EXPECT_EQ(kInvalidArgument, s.seek(-1, IBStream::kIBSeekSet, &pos));
	EXPECT_EQ(kInvalidArgument, s.seek(0, 7, &pos));
	EXPECT_EQ(kInvalidArgument, s.seek(std::numeric_limits<int64>::max(), IBStream::kIBSeekCur, nullptr));
	EXPECT_EQ(kInvalidArgument, s.read(buf, -1, &n));
	EXPECT_EQ(kInvalidArgument, s.write(nullptr, 4, &n));
	EXPECT_EQ(kInvalidArgument, s.tell(nullptr));
	EXPECT_EQ(kResultOk, s.tell(&pos));
	EXPECT_EQ(10, pos);
	EXPECT_EQ(10, s.getSize());
}

TEST(MemoryStream, WritePastTheEndFillsTheGapAndSizeCanBeSet)
{
	MemoryStream s;
	std::vector<char> big(1000, 'x');
	ASSERT_EQ(kResultOk, s.write(big.data(), 1000, nullptr)); // grows past the first block
	ASSERT_EQ(kResultOk, s.seek(1004, IBStream::kIBSeekSet, nullptr));
	char one = 'y';
	int32 n = 0;
	ASSERT_EQ(kResultOk, s.write(&one, 1, &n));
	EXPECT_EQ(1005, s.getSize());
	EXPECT_EQ('x', s.getData()[999]);
	for (int i = 1000; i < 1004; ++i)
		EXPECT_EQ(0, s.getData()[i]);
	EXPECT_EQ('y', s.getData()[1004]);

	FUnknownPtr<ISizeableStream> sizeable(static_cast<IBStream*>(&s));
	ASSERT_TRUE(sizeable);
	int64 size = 0;
	EXPECT_EQ(kResultOk, sizeable->getStreamSize(size));
	EXPECT_EQ(1005, size);
	EXPECT_EQ(kResultOk, sizeable->setStreamSize(3));
	EXPECT_EQ(3, s.getSize());
	EXPECT_EQ(kInvalidArgument, sizeable->setStreamSize(-1));
}

TEST(MemoryStream, FixedBufferIsReadableAndNeverGrows)
{
	char mem[4] = {'a', 'b', 'c', 'd'};
	MemoryStream s(mem, sizeof(mem));
	EXPECT_EQ(4, s.getSize());
	char c = 0;
	int32 n = 0;
	ASSERT_EQ(kResultOk, s.read(&c, 1, &n));
	EXPECT_EQ('a', c);

	char two[2] = {'X', 'Y'};
	EXPECT_EQ(kResultOk, s.write(two, 2, &n));
	EXPECT_EQ(2, n);
	EXPECT_EQ('X', mem[1]);
	EXPECT_EQ(kResultFalse, s.write(two, 2, &n)); // only one byte of room
	EXPECT_EQ(0, n);
	EXPECT_EQ('d', mem[3]);
	EXPECT_EQ(kResultFalse, s.setStreamSize(5));
	EXPECT_EQ(nullptr, s.detachData());
}
