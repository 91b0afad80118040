#include "chain/Chain.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/FailureText.h"

namespace {

using Events = std::vector<std::string>;

// A stage that records its finish() and its destruction, and whose finish()
// fails when given a message.
template <class T>
class Recording : public Stream<T> {
 public:
  Recording(Events& events, std::string label, std::string finishFailure = "")
      : events_(events), label_(std::move(label)), finishFailure_(std::move(finishFailure)) {}
  ~Recording() override { events_.push_back(label_ + " destroyed"); }
  bool get(T&) override { return false; }
  void finish() override {
    events_.push_back(label_ + " finished");
    if (!finishFailure_.empty()) throw std::runtime_error(finishFailure_);
  }

 private:
  Events& events_;
  std::string label_;
  std::string finishFailure_;
};

std::string failureOf(const FirstFailure& failure) {
  return ::failureOf([&] { failure.rethrowIfAny(); });
}

TEST(ChainTearDown, FinishesAndDestroysEachStageLastFirst) {
  Events events;
  Chain chain;
  chain.add<Recording<unsigned char>>(events, "first");
  chain.add<Recording<std::vector<int>>>(events, "second");
  chain.add<Recording<std::string>>(events, "third");
  FirstFailure failure;
  chain.tearDown(failure);
  EXPECT_EQ(events, (Events{"third finished", "third destroyed", "second finished",
                            "second destroyed", "first finished", "first destroyed"}));
  EXPECT_FALSE(failure.any());
  EXPECT_EQ(chain.size(), 0u);
}

TEST(ChainTearDown, GoesOnAfterFailedFinishAndKeepsTheFirstFailure) {
  Events events;
  Chain chain;
  chain.add<Recording<int>>(events, "first", "first failed");
  chain.add<Recording<int>>(events, "second", "second failed");
  FirstFailure failure;
  chain.tearDown(failure);
  EXPECT_EQ(events,
            (Events{"second finished", "second destroyed", "first finished", "first destroyed"}));
  EXPECT_EQ(failureOf(failure), "second failed");
}

TEST(ChainTearDown, EarlierFailureOutranksTeardownFailures) {
  Events events;
  Chain chain;
  chain.add<Recording<int>>(events, "only", "finish failed");
  FirstFailure failure;
  failure.attempt([] { throw std::runtime_error("run failed"); });
  chain.tearDown(failure);
  EXPECT_EQ(failureOf(failure), "run failed");
  EXPECT_EQ(events, (Events{"only finished", "only destroyed"}));
}

TEST(ChainTearDown, DestructionAloneSkipsFinishButKeepsTheOrder) {
  Events events;
  {
    Chain chain;
    chain.add<Recording<int>>(events, "first");
    chain.add<Recording<int>>(events, "second");
  }
  EXPECT_EQ(events, (Events{"second destroyed", "first destroyed"}));
}

TEST(FirstFailure, NothingToRaiseWhenEveryStepSucceeds) {
  FirstFailure failure;
  int ran = 0;
  failure.attempt([&] { ++ran; });
  failure.attempt([&] { ++ran; });
  EXPECT_EQ(ran, 2);
  EXPECT_FALSE(failure.any());
  EXPECT_NO_THROW(failure.rethrowIfAny());
}

TEST(FirstFailure, KeepsFailuresOfAnyKind) {
  FirstFailure failure;
  failure.attempt([] { throw 42; });
  failure.attempt([] { throw std::runtime_error("later"); });
  EXPECT_THROW(failure.rethrowIfAny(), int);
}

}  // namespace
