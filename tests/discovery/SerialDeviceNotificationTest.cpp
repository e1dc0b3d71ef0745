// The subscription's states and the calls of the action, over a port list the tests plug ports
// into and pull them out of. Listing again is started the way a device event starts it.
#include "DiscoveryTestSupport.h"
#include "SerialPortDiscovery.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

const SerialPortList::value_type s0{"ttyS0", {"/dev/ttyS0"}}, usb0{"ttyUSB0", {"/dev/ttyUSB0"}},
    usb1{"ttyUSB1", {"/dev/ttyUSB1"}};

class SerialDeviceNotification : public ::testing::Test {
  protected:
    // What a device event does, then serving it through.
    bool listAgain() {
        notifier.monitor()->scheduleRescan();
        return serveUntilListed(notifier);
    }
    // The same after the ports have become `now`.
    bool listAgain(std::optional<SerialPortList> now) {
        ports = std::move(now);
        return listAgain();
    }

    std::optional<SerialPortList> ports = SerialPortList{s0};
    SerialDeviceNotifier notifier{[this] { return ports; }, 1ms};
    NotificationRecorder recorder, other;
    int target = 0, otherTarget = 0;
};

TEST_F(SerialDeviceNotification, SubscribesOnceAndReportsArrivalsThenDepartures) {
    notifier.registerTarget(&target, recorder.withFlagAndPorts());
    const int descriptor = notifier.descriptor();
    ASSERT_GE(descriptor, 0);
    ASSERT_TRUE(listAgain());
    EXPECT_TRUE(recorder.calls.empty()); // present at subscription: never reported

    ASSERT_TRUE(listAgain(SerialPortList{usb0, usb1}));
    EXPECT_EQ(recorder.calls, (Calls{{2, true, {usb0, usb1}}, {2, false, {s0}}}));

    // Another target only redirects the calls.
    notifier.registerTarget(&otherTarget, other.withFlag());
    EXPECT_EQ(notifier.descriptor(), descriptor);
    ASSERT_TRUE(listAgain(SerialPortList{usb1}));
    EXPECT_EQ(recorder.calls.size(), 2u);
    EXPECT_EQ(other.calls, (Calls{{1, false, {}}}));
}

TEST_F(SerialDeviceNotification, AnotherAdapterUnderTheSameNameDepartsAndArrives) {
    notifier.registerTarget(&target, recorder.withFlagAndPorts());
    const SerialPortList::value_type replaced{"ttyS0", {"/dev/ttyS0", "Other", "other-id"}};
    ASSERT_TRUE(listAgain(SerialPortList{replaced}));
    EXPECT_EQ(recorder.calls, (Calls{{2, true, {replaced}}, {2, false, {s0}}}));
}

TEST_F(SerialDeviceNotification, ActionGetsAsManyArgumentsAsItTakes) {
    const std::pair<SerialDeviceAction, Calls> cases[] = {
        {recorder.withoutArguments(), {{0, false, {}}, {0, false, {}}}},
        {recorder.withFlag(), {{1, true, {}}, {1, false, {}}}},
        {recorder.withFlagAndPorts(), {{2, true, {usb0}}, {2, false, {usb0}}}},
        {std::function<void(bool)>{}, {}}, // an empty action is not called
    };
    int round = 0;
    for (const auto& [action, expected] : cases) {
        SCOPED_TRACE(round++);
        recorder.calls.clear();
        notifier.registerTarget(&target, action);
        ASSERT_TRUE(listAgain(SerialPortList{s0, usb0}));
        ASSERT_TRUE(listAgain(SerialPortList{s0}));
        EXPECT_EQ(recorder.calls, expected);
    }
}

TEST_F(SerialDeviceNotification, NullTargetUnsubscribesAndTheNextSubscriptionStartsAfresh) {
    notifier.registerTarget(nullptr, recorder.withFlagAndPorts()); // before any: nothing
    EXPECT_FALSE(notifier.isSubscribed());
    notifier.registerTarget(&target, recorder.withFlagAndPorts());
    notifier.registerTarget(nullptr, recorder.withFlagAndPorts());
    EXPECT_FALSE(notifier.isSubscribed());
    EXPECT_EQ(notifier.descriptor(), -1);
    EXPECT_FALSE(notifier.dispatch());

    ports->insert(usb0); // present when subscribing again: not reported
    notifier.registerTarget(&target, recorder.withFlagAndPorts());
    ASSERT_TRUE(listAgain(SerialPortList{s0, usb0, usb1}));
    EXPECT_EQ(recorder.calls, (Calls{{2, true, {usb1}}}));
}

TEST_F(SerialDeviceNotification, ActionMayRedirectOrUnsubscribeWhileBeingCalled) {
    notifier.registerTarget(&target, std::function<void(bool)>([&](bool arrived) {
        recorder.calls.push_back({1, arrived, {}});
        notifier.registerTarget(&otherTarget, other.withFlag());
    }));
    ASSERT_TRUE(listAgain(SerialPortList{usb0}));
    EXPECT_EQ(recorder.calls, (Calls{{1, true, {}}}));
    EXPECT_EQ(other.calls, (Calls{{1, false, {}}}));

    notifier.registerTarget(&target, std::function<void(bool)>([&](bool arrived) {
        recorder.calls.push_back({1, arrived, {}});
        notifier.registerTarget(nullptr, SerialDeviceAction{});
    }));
    ASSERT_TRUE(listAgain(SerialPortList{usb1}));
    // The departure belonged to the subscription just ended.
    EXPECT_EQ(recorder.calls, (Calls{{1, true, {}}, {1, true, {}}}));
    EXPECT_FALSE(notifier.isSubscribed());
}

TEST_F(SerialDeviceNotification, FailedListingIsNotTakenForPortsLeaving) {
    notifier.registerTarget(&target, recorder.withFlagAndPorts());
    ASSERT_TRUE(listAgain(std::nullopt));
    ASSERT_TRUE(listAgain(SerialPortList{s0}));
    EXPECT_TRUE(recorder.calls.empty());

    ASSERT_TRUE(listAgain(SerialPortList{}));
    EXPECT_EQ(recorder.calls, (Calls{{2, false, {s0}}}));
}

// With no listing to compare with, the first one that succeeds is where changes start from: the
// ports present then did not arrive.
TEST_F(SerialDeviceNotification, FailedListingAtSubscriptionIsNotTakenForNoPorts) {
    ports = std::nullopt;
    notifier.registerTarget(&target, recorder.withFlagAndPorts());
    ASSERT_TRUE(listAgain());
    ASSERT_TRUE(listAgain(SerialPortList{s0, usb0}));
    EXPECT_TRUE(recorder.calls.empty());

    ASSERT_TRUE(listAgain(SerialPortList{s0, usb0, usb1}));
    EXPECT_EQ(recorder.calls, (Calls{{2, true, {usb1}}}));
}

TEST(ProcessNotifications, SubscribeRedirectAndUnsubscribeTheProcessWideSubscription) {
    int target = 0, otherTarget = 0;
    ASSERT_EQ(serialDeviceNotificationDescriptor(), -1);
    registerForSerialDeviceNotifications(&target, std::function<void()>([] {}));
    const int descriptor = serialDeviceNotificationDescriptor();
    EXPECT_GE(descriptor, 0);
    registerForSerialDeviceNotifications(&otherTarget, std::function<void(bool)>([](bool) {}));
    EXPECT_EQ(serialDeviceNotificationDescriptor(), descriptor);
    dispatchSerialDeviceNotifications(); // nothing ready: returns at once
    registerForSerialDeviceNotifications(nullptr, SerialDeviceAction{});
    EXPECT_EQ(serialDeviceNotificationDescriptor(), -1);
}

} // namespace
