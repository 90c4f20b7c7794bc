#include "base/post_to_ui.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "base/ui_messages.h"

namespace kestrel {
namespace {

struct Marker : UiPayload {
  explicit Marker(std::atomic<int>* destroyed) : destroyed(destroyed) {}
  ~Marker() override { ++*destroyed; }
  std::atomic<int>* destroyed;
};

TEST(PostToUi, DropsMessagesAndFreesPayloadWithoutAWindow) {
  ClearUiMessageSink();
  std::atomic<int> destroyed{0};
  EXPECT_FALSE(HasUi());
  EXPECT_FALSE(PostToUi(kMsgUpdateOffer, 0, 0, std::make_unique<Marker>(&destroyed)));
  EXPECT_EQ(destroyed, 1);
}

TEST(PostToUi, DeliversFromManyThreadsWithPayloadOwnedByTheReceiver) {
  std::mutex mutex;
  std::vector<PostedMessage> received;
  SetUiMessageSink([&](PostedMessage message) {
    std::lock_guard lock(mutex);
    received.push_back(std::move(message));
  });
  std::atomic<int> destroyed{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i) PostToUi(kMsgYouTubeCached, t, i, std::make_unique<Marker>(&destroyed));
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_TRUE(PostCommand(204, 1));
  ClearUiMessageSink();

  ASSERT_EQ(received.size(), 201u);
  EXPECT_EQ(destroyed, 0);  // still owned by the receiver
  EXPECT_EQ(received.back().message, kMsgCommand);
  EXPECT_EQ(received.back().wparam, 204u);
  EXPECT_EQ(received.back().lparam, 1);
  received.clear();
  EXPECT_EQ(destroyed, 200);
}

}  // namespace
}  // namespace kestrel
