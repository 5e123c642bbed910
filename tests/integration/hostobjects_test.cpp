// The host side objects the plug-in calls back into, and the audio helpers.
#include "support.h"

#include <cmath>
#include <cstdio>

namespace itest {
namespace {

using namespace Steinberg::Vst;

TEST (HostObjects, ParameterQueuesKeepPointsOrderedAndReplaceSameOffset)
{
	Ref<ParameterChanges> changes (new ParameterChanges);
	int32 index = -1;
	IParamValueQueue* q = changes->addParameterData (4, index);
	ASSERT_TRUE (q);
	EXPECT_EQ (index, 0);
	EXPECT_EQ (changes->addParameterData (4, index), q);
	EXPECT_EQ (index, 0);
	changes->addParameterData (7, index);
	EXPECT_EQ (index, 1);
	EXPECT_EQ (changes->getParameterCount (), 2);
	EXPECT_EQ (changes->getParameterData (2), nullptr);
	EXPECT_EQ (changes->getParameterData (-1), nullptr);

	q->addPoint (50, 0.5, index);
	q->addPoint (10, 0.1, index);
	EXPECT_EQ (index, 0);
	q->addPoint (50, 0.7, index);
	EXPECT_EQ (index, 1);
	EXPECT_NE (q->addPoint (-1, 0.2, index), kResultOk);
	ASSERT_EQ (q->getPointCount (), 2);
	int32 offset = 0;
	ParamValue v = 0;
	ASSERT_EQ (q->getPoint (1, offset, v), kResultOk);
	EXPECT_EQ (offset, 50);
	EXPECT_EQ (v, 0.7);
	EXPECT_EQ (q->getPoint (2, offset, v), kResultFalse);
	EXPECT_EQ (q->getPoint (-1, offset, v), kResultFalse);

	changes->clear ();
	EXPECT_EQ (changes->getParameterCount (), 0);
}

// Reading and seeking are the SDK memory stream's, checked with it; the host's stream adds its
// first bytes and a limit to writing.
TEST (HostObjects, StreamStartsWithItsBytesAndStopsAtItsLimit)
{
	Ref<HostStream> s (new HostStream ({1, 2, 3, 4, 5}));
	int64 pos = -1;
	EXPECT_EQ (s->seek (-1, IBStream::kIBSeekEnd, &pos), kResultOk);
	EXPECT_EQ (pos, 4);
	s->setWriteLimit (6);
	uint8_t data[4] = {9, 9, 9, 9};
	int32 got = -1;
	EXPECT_EQ (s->write (data, 4, &got), kResultOk);
	EXPECT_EQ (got, 2);
	EXPECT_EQ (s->data (), (std::vector<uint8_t> {1, 2, 3, 4, 9, 9}));
	EXPECT_NE (s->write (data, 1, &got), kResultOk);
	EXPECT_EQ (got, 0);
	EXPECT_NE (s->setStreamSize (7), kResultOk);
	EXPECT_EQ (s->data ().size (), 6u);
}

TEST (HostObjects, HostApplicationMakesMessagesAndAttributeLists)
{
	Ref<HostApplication> host (new HostApplication);
	String128 name {};
	ASSERT_EQ (host->getName (name), kResultOk);
	EXPECT_EQ (toUtf8 (reinterpret_cast<char16_t*> (name), 128), "tolvar-host");

	TUID msgIid, listIid;
	IMessage::iid.toTUID (msgIid);
	IAttributeList::iid.toTUID (listIid);
	Ref<IMessage> msg;
	ASSERT_EQ (host->createInstance (msgIid, msgIid, msg.out ()), kResultOk);
	ASSERT_TRUE (msg);
	msg->setMessageID ("ping");
	EXPECT_STREQ (msg->getMessageID (), "ping");
	IAttributeList* attrs = msg->getAttributes ();
	ASSERT_TRUE (attrs);
	EXPECT_EQ (attrs->setInt ("n", -7), kResultOk);
	int64 n = 0;
	EXPECT_EQ (attrs->getInt ("n", n), kResultOk);
	EXPECT_EQ (n, -7);
	double f = 0;
	EXPECT_NE (attrs->getFloat ("n", f), kResultOk) << "an int is no float";
	const TChar text[] = u"Grüße";
	EXPECT_EQ (attrs->setString ("s", text), kResultOk);
	TChar small[4] {};
	EXPECT_EQ (attrs->getString ("s", small, sizeof small), kResultOk);
	EXPECT_EQ (std::u16string (reinterpret_cast<char16_t*> (small)), u"Grü");
	const uint8_t blob[3] = {1, 2, 3};
	EXPECT_EQ (attrs->setBinary ("b", blob, 3), kResultOk);
	const void* data = nullptr;
	uint32 size = 0;
	EXPECT_EQ (attrs->getBinary ("b", data, size), kResultOk);
	ASSERT_EQ (size, 3u);
	EXPECT_EQ (static_cast<const uint8_t*> (data)[2], 3);

	Ref<IAttributeList> list;
	EXPECT_EQ (host->createInstance (listIid, listIid, list.out ()), kResultOk);
	EXPECT_TRUE (list);
	Ref<IMessage> wrong;
	EXPECT_NE (host->createInstance (msgIid, listIid, wrong.out ()), kResultOk);
	EXPECT_FALSE (wrong);
}

// Records what the proxy does to it.
class FakeConnectionPoint : public IConnectionPoint, public RefCount
{
public:
	tresult PLUGIN_API queryInterface (const TUID, void** obj) override
	{
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return addRefImpl (); }
	uint32 PLUGIN_API release () override { return releaseImpl (); }
	tresult PLUGIN_API connect (IConnectionPoint* other) override
	{
		peer = other;
		return kResultOk;
	}
	tresult PLUGIN_API disconnect (IConnectionPoint* other) override
	{
		if (other != peer)
			return kResultFalse;
		peer = nullptr;
		return kResultOk;
	}
	tresult PLUGIN_API notify (IMessage* message) override
	{
		lastMessage = message->getMessageID ();
		return kResultOk;
	}
	IConnectionPoint* peer = nullptr;
	std::string lastMessage;
};

TEST (HostObjects, ConnectionProxyForwardsWhileLinked)
{
	Ref<FakeConnectionPoint> a (new FakeConnectionPoint), b (new FakeConnectionPoint);
	Ref<ConnectionProxy> proxy (new ConnectionProxy (a.get ()));
	ASSERT_EQ (proxy->link (b.get ()), kResultOk);
	EXPECT_EQ (a->peer, proxy.get ());
	Ref<HostMessage> msg (new HostMessage);
	msg->setMessageID ("hello");
	// a talks to its peer (the proxy), which hands it to b.
	EXPECT_EQ (a->peer->notify (msg.get ()), kResultOk);
	EXPECT_EQ (b->lastMessage, "hello");
	EXPECT_EQ (proxy->unlink (), kResultOk);
	EXPECT_EQ (a->peer, nullptr);
	EXPECT_EQ (proxy->notify (msg.get ()), kResultFalse);
}

TEST (HostObjects, AudioFilesAndTheBuiltInInput)
{
	StereoBuffer in = makeDefaultInput (44100.0);
	ASSERT_EQ (in.frames (), 220500u);
	EXPECT_EQ (in.left[22050], 0.9);
	for (size_t i = 0; i < 22050; ++i)
		ASSERT_EQ (in.left[i], 0.0);
	double peak = 0.0, phrase = 0.0;
	for (size_t i = 0; i < in.frames (); ++i)
	{
		peak = std::max ({peak, std::fabs (in.left[i]), std::fabs (in.right[i])});
		if (i > 22060)
			phrase += in.left[i] * in.left[i];
	}
	EXPECT_LE (peak, 1.0);
	EXPECT_GT (phrase, 1.0);
	StereoBuffer again = makeDefaultInput (44100.0);
	EXPECT_EQ (again.left, in.left);

	// 64-bit files keep every value exactly, including values beyond full scale.
	in.left[5] = 1.75;
	in.right[6] = -1e-300;
	std::string path = tempPath ("roundtrip.wav");
	std::string error;
	ASSERT_TRUE (writeAudioFile (path, in, 64, error)) << error;
	StereoBuffer back;
	ASSERT_TRUE (readAudioFile (path, back, error)) << error;
	EXPECT_EQ (back.sampleRate, 44100.0);
	EXPECT_EQ (back.left, in.left);
	EXPECT_EQ (back.right, in.right);
	EXPECT_FALSE (writeAudioFile (path, in, 16, error));
	std::remove (path.c_str ());
	EXPECT_FALSE (readAudioFile (path, back, error));
	EXPECT_NE (error.find ("cannot open input"), std::string::npos);
}

TEST (HostObjects, TextConversionRoundTrips)
{
	const std::string text = "m\xC2\xB3 \xC2\xB5s \xF0\x9D\x84\x9E";
	std::u16string wide = toUtf16 (text);
	EXPECT_EQ (wide.size (), 8u); // the last character needs a surrogate pair
	EXPECT_EQ (toUtf8 (wide.c_str (), 128), text);
	EXPECT_EQ (toUtf8 (wide.c_str (), 2), "m\xC2\xB3");
	EXPECT_EQ (toUtf8 (nullptr, 5), "");
}

} // namespace
} // namespace itest
