// The subscription's states and the calls of the action, over sysfs trees whose ports the tests
// plug in and pull out. Listing again is started the way a device event starts it.
#include "NotificationRecorder.h"
#include "SerialDeviceNotifier.h"
#include "SerialPortScanner.h"
#include "SysfsTree.h"
#include "TavrelSocket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <poll.h>

using namespace std::chrono_literals;

bool serveUntilListed(SerialDeviceNotifier& notifier, int boundMilliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMilliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd watched{notifier.descriptor(), POLLIN, 0};
        if (watched.fd < 0) {
            return false;
        }
        if (poll(&watched, 1, 100) > 0 && notifier.dispatch()) {
            return true;
        }
    }
    return false;
}

bool rescanAndServe(SerialDeviceNotifier& notifier) {
    notifier.monitor()->scheduleRescan();
    return serveUntilListed(notifier);
}

namespace {

class SerialDeviceNotification : public ::testing::Test {
  protected:
    SysfsTree tree;
    SerialDeviceNotifier notifier{[this] { return scanSerialPorts(tree.root()); }, 1ms};
    NotificationRecorder recorder;
    int target = 0;
    int otherTarget = 0;

    void SetUp() override {
        tree.addUart("ttyS0", 4);
        tree.addVirtualConsole("tty1");
    }
};

TEST_F(SerialDeviceNotification, PortsPresentAtSubscriptionAreNotReported) {
    notifier.registerTarget(&target, recorder.withFlagAndPorts());
    ASSERT_TRUE(notifier.isSubscribed());
    ASSERT_GE(notifier.descriptor(), 0);

    ASSERT_TRUE(rescanAndServe(notifier));
    EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(SerialDeviceNotification, PluggingInAndPullingOutAreReportedWithThePorts) {
    notifier.registerTarget(&target, recorder.withFlagAndPorts());

    tree.plugUsbAdapter("ttyUSB0");
    ASSERT_TRUE(rescanAndServe(notifier));
    tree.unplug("ttyUSB0");
    tree.unplug("ttyS0");
    ASSERT_TRUE(rescanAndServe(notifier));

    EXPECT_EQ(recorder.calls,
              (std::vector<NotificationCall>{
                  {2, true, {{"ttyUSB0", "/dev/ttyUSB0"}}},
                  {2, false, {{"ttyS0", "/dev/ttyS0"}, {"ttyUSB0", "/dev/ttyUSB0"}}}}));
}

TEST_F(SerialDeviceNotification, OneListingWithBothChangesCallsForArrivalsThenDepartures) {
    notifier.registerTarget(&target, recorder.withFlagAndPorts());

    tree.unplug("ttyS0");
    tree.plugUsbAdapter("ttyUSB0");
    tree.plugUsbAdapter("ttyUSB1");
    ASSERT_TRUE(rescanAndServe(notifier));

    EXPECT_EQ(recorder.calls,
              (std::vector<NotificationCall>{
                  {2, true, {{"ttyUSB0", "/dev/ttyUSB0"}, {"ttyUSB1", "/dev/ttyUSB1"}}},
                  {2, false, {{"ttyS0", "/dev/ttyS0"}}}}));
}

TEST_F(SerialDeviceNotification, TtysThatAreNotListedAreNeverReported) {
    notifier.registerTarget(&target, recorder.withFlagAndPorts());

    tree.plugNamedDevice("Bluetooth-PDA-Sync");
    tree.addUart("ttyS1", 0);
    tree.addVirtualConsole("tty2");
    ASSERT_TRUE(rescanAndServe(notifier));
    tree.unplug("Bluetooth-PDA-Sync");
    ASSERT_TRUE(rescanAndServe(notifier));

    EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(SerialDeviceNotification, ActionGetsAsManyArgumentsAsItTakes) {
    struct Case {
        const char* what;
        SerialDeviceAction action;
        std::vector<NotificationCall> expected;
    };
    const SerialPortList usb{{"ttyUSB0", "/dev/ttyUSB0"}};
    Case cases[] = {
        {"none", recorder.withoutArguments(), {{0, false, {}}, {0, false, {}}}},
        {"the flag", recorder.withFlag(), {{1, true, {}}, {1, false, {}}}},
        {"the flag and the ports", recorder.withFlagAndPorts(), {{2, true, usb}, {2, false, usb}}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        recorder.calls.clear();
        notifier.registerTarget(&target, c.action);
        tree.plugUsbAdapter("ttyUSB0");
        ASSERT_TRUE(rescanAndServe(notifier));
        tree.unplug("ttyUSB0");
        ASSERT_TRUE(rescanAndServe(notifier));
        EXPECT_EQ(recorder.calls, c.expected);
    }
}

TEST_F(SerialDeviceNotification, AnotherTargetOnlyRedirectsTheCalls) {
    NotificationRecorder other;
    notifier.registerTarget(&target, recorder.withFlagAndPorts());
    const int descriptor = notifier.descriptor();

    notifier.registerTarget(&otherTarget, other.withFlag());
    EXPECT_EQ(notifier.descriptor(), descriptor);
    tree.plugUsbAdapter("ttyUSB0");
    ASSERT_TRUE(rescanAndServe(notifier));

    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_EQ(other.calls, (std::vector<NotificationCall>{{1, true, {}}}));
}

TEST_F(SerialDeviceNotification, NullTargetUnsubscribesAndTheNextSubscriptionStartsAfresh) {
    notifier.registerTarget(&target, recorder.withFlagAndPorts());
    notifier.registerTarget(nullptr, recorder.withFlagAndPorts());
    EXPECT_FALSE(notifier.isSubscribed());
    EXPECT_EQ(notifier.descriptor(), -1);
    EXPECT_FALSE(notifier.dispatch());

    tree.plugUsbAdapter("ttyUSB0"); // present when subscribing again: not reported
    notifier.registerTarget(&target, recorder.withFlagAndPorts());
    ASSERT_TRUE(notifier.isSubscribed());
    tree.plugUsbAdapter("ttyUSB1");
    ASSERT_TRUE(rescanAndServe(notifier));

    EXPECT_EQ(recorder.calls,
              (std::vector<NotificationCall>{{2, true, {{"ttyUSB1", "/dev/ttyUSB1"}}}}));
}

TEST_F(SerialDeviceNotification, NullTargetBeforeAnySubscriptionDoesNothing) {
    notifier.registerTarget(nullptr, recorder.withFlagAndPorts());
    EXPECT_FALSE(notifier.isSubscribed());
    EXPECT_EQ(notifier.descriptor(), -1);
    EXPECT_FALSE(notifier.dispatch());
}

TEST_F(SerialDeviceNotification, ActionMayUnsubscribeWhileBeingCalled) {
    notifier.registerTarget(&target, std::function<void(bool)>([&](bool arrived) {
        recorder.calls.push_back({1, arrived, {}});
        notifier.registerTarget(nullptr, SerialDeviceAction{});
    }));
    tree.unplug("ttyS0");
    tree.plugUsbAdapter("ttyUSB0");
    ASSERT_TRUE(rescanAndServe(notifier));

    // The departure belonged to the subscription just ended.
    EXPECT_EQ(recorder.calls, (std::vector<NotificationCall>{{1, true, {}}}));
    EXPECT_FALSE(notifier.isSubscribed());
}

TEST_F(SerialDeviceNotification, ActionMayRedirectWhileBeingCalled) {
    NotificationRecorder other;
    notifier.registerTarget(&target, std::function<void(bool)>([&](bool arrived) {
        recorder.calls.push_back({1, arrived, {}});
        notifier.registerTarget(&otherTarget, other.withFlag());
    }));
    tree.unplug("ttyS0");
    tree.plugUsbAdapter("ttyUSB0");
    ASSERT_TRUE(rescanAndServe(notifier));

    EXPECT_EQ(recorder.calls, (std::vector<NotificationCall>{{1, true, {}}}));
    EXPECT_EQ(other.calls, (std::vector<NotificationCall>{{1, false, {}}}));
}

TEST_F(SerialDeviceNotification, EmptyActionIsNotCalled) {
    notifier.registerTarget(&target, std::function<void(bool)>{});
    tree.plugUsbAdapter("ttyUSB0");
    EXPECT_TRUE(rescanAndServe(notifier));
}

TEST(SerialDeviceNotificationListing, FailedListingIsNotTakenForPortsLeaving) {
    bool queryFails = false;
    SerialPortList present{{"ttyUSB0", "/dev/ttyUSB0"}};
    SerialDeviceNotifier notifier(
        [&]() -> std::optional<SerialPortList> {
            if (queryFails) {
                return std::nullopt;
            }
            return present;
        },
        1ms);
    NotificationRecorder recorder;
    int target = 0;
    notifier.registerTarget(&target, recorder.withFlagAndPorts());

    queryFails = true;
    ASSERT_TRUE(rescanAndServe(notifier));
    queryFails = false;
    ASSERT_TRUE(rescanAndServe(notifier));
    EXPECT_TRUE(recorder.calls.empty());

    present.clear();
    ASSERT_TRUE(rescanAndServe(notifier));
    EXPECT_EQ(recorder.calls,
              (std::vector<NotificationCall>{{2, false, {{"ttyUSB0", "/dev/ttyUSB0"}}}}));
}

TEST(SerialDeviceNotificationListing, BurstOfEventsGivesOneListing) {
    int listings = 0;
    SerialDeviceNotifier notifier(
        [&]() -> std::optional<SerialPortList> {
            ++listings;
            return SerialPortList{};
        },
        1ms);
    int target = 0;
    notifier.registerTarget(&target, std::function<void()>([] {}));
    ASSERT_EQ(listings, 1); // at subscription

    for (int event = 0; event < 5; ++event) {
        notifier.monitor()->scheduleRescan();
    }
    ASSERT_TRUE(serveUntilListed(notifier));
    EXPECT_EQ(listings, 2);
}

TEST(TavrelSocketNotifications, SubscribeRedirectAndUnsubscribeTheProcessWideSubscription) {
    int target = 0;
    int otherTarget = 0;
    ASSERT_EQ(TavrelSocket::serialDeviceNotificationDescriptor(), -1);

    TavrelSocket::registerForSerialDeviceNotifications(&target, std::function<void()>([] {}));
    const int descriptor = TavrelSocket::serialDeviceNotificationDescriptor();
    EXPECT_GE(descriptor, 0);
    TavrelSocket::registerForSerialDeviceNotifications(&otherTarget,
                                                       std::function<void(bool)>([](bool) {}));
    EXPECT_EQ(TavrelSocket::serialDeviceNotificationDescriptor(), descriptor);
    TavrelSocket::dispatchSerialDeviceNotifications(); // nothing ready: returns at once

    TavrelSocket::registerForSerialDeviceNotifications(nullptr, SerialDeviceAction{});
    EXPECT_EQ(TavrelSocket::serialDeviceNotificationDescriptor(), -1);
}

} // namespace
