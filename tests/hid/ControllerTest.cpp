// The controller's pass, event order, counters, enumeration, check-out and check-in.
#include <map>

#include "hid/EControllerError.h"
#include "tests/hid/HidTestSupport.h"

namespace hidtest {
namespace {

using Log = std::vector<std::string>;
using Counts = std::vector<int>;  // checked in, checked out, unplugged

TEST_F(ControllerTest, StartupPassWaitsForTheMainLoopAndReportsAChangeEvenWithNoDevices) {
  controller = std::make_unique<THidDeviceController>(platform, Stored());
  EXPECT_EQ(platform->ListingCount(), 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(TakeLog(), Log{"change"});
  EXPECT_EQ(controller->Enumerate(), 0);
  EXPECT_EQ(Counters(), (Counts{0, 0, 0}));
}

TEST_F(ControllerTest, StartupPassAppendsEachInterfaceInListingOrderThenReportsTheChange) {
  Add(1);
  Add(2);
  Start();
  EXPECT_EQ(TakeLog(), (Log{"arrival 1", "arrival 2", "change"}));
  EXPECT_EQ(Counters(), (Counts{2, 0, 0}));
  EXPECT_EQ(Listed(0)->MyController(), controller.get());
}

TEST_F(ControllerTest, PassesThatFindNothingNewAndForeignNotificationsRaiseNothing) {
  Add(1);
  Start();
  TakeLog();
  platform->RaiseDeviceChange();
  platform->RaiseDeviceChange(/*wParam=*/0x8000);
  EXPECT_EQ(TakeLog(), Log{});
  EXPECT_EQ(controller->Devices().size(), 1u);
}

TEST_F(ControllerTest, ArrivalLaterRaisesArrivalThenChange) {
  Start();
  TakeLog();
  Add(7);
  platform->RaiseDeviceChange();
  EXPECT_EQ(TakeLog(), (Log{"arrival 7", "change"}));
}

TEST_F(ControllerTest, ListedDeviceThatVanishesIsUnpluggedRemovedAndDropped) {
  auto iface = Add(1);
  Add(2);
  Start();
  TakeLog();
  Unplug(*iface);
  EXPECT_EQ(TakeLog(), (Log{"unplug 1", "removal 1", "change"}));
  ASSERT_EQ(controller->Devices().size(), 1u);
  EXPECT_EQ(Listed(0)->Attributes().ProductID, 2);
  EXPECT_EQ(Counters(), (Counts{1, 0, 0}));
}

TEST_F(ControllerTest, CheckedOutDeviceThatVanishesStaysListedUntilCheckedIn) {
  auto iface = Add(1);
  Start();
  THidDevice* device = nullptr;
  ASSERT_TRUE(controller->CheckOut(device));
  EXPECT_EQ(Counters(), (Counts{0, 1, 0}));
  TakeLog();

  Unplug(*iface);
  EXPECT_EQ(TakeLog(), (Log{"unplug 1", "removal 1", "change"}));
  EXPECT_FALSE(device->IsPluggedIn());
  EXPECT_EQ(Counters(), (Counts{0, 0, 1}));
  platform->RaiseDeviceChange();
  EXPECT_EQ(TakeLog(), (Log{"removal 1", "change"}));  // the unplug event only once

  controller->CheckIn(device);
  EXPECT_EQ(device, nullptr);
  EXPECT_TRUE(controller->Devices().empty());
  EXPECT_EQ(Counters(), (Counts{0, 0, 0}));
  platform->RaiseDeviceChange();
  EXPECT_EQ(TakeLog(), Log{});
}

TEST_F(ControllerTest, UnplugEventIsRaisedOnceEvenWhenItsHandlerAssignsAnother) {
  auto iface = Add(1);
  Start();
  THidDevice* device = nullptr;
  ASSERT_TRUE(controller->CheckOut(device));
  struct Reassigning {
    Recorder* rec;
    void Unplug(THidDevice* d) {
      rec->log.push_back("own unplug");
      d->SetOnUnplug({rec, &Recorder::Unplug});
    }
  } reassigning{&rec};
  device->SetOnUnplug({&reassigning, &Reassigning::Unplug});
  TakeLog();
  Unplug(*iface);
  EXPECT_EQ(TakeLog(), (Log{"own unplug", "removal 1", "change"}));
  EXPECT_FALSE(device->OnUnplug());
  platform->RaiseDeviceChange();
  EXPECT_EQ(TakeLog(), (Log{"removal 1", "change"}));
  controller->CheckIn(device);
}

TEST_F(ControllerTest, ReplugBesideAStaleEntryAddsASecondDevice) {
  auto iface = Add(1);
  Start();
  THidDevice* stale = nullptr;
  ASSERT_TRUE(controller->CheckOut(stale));
  Unplug(*iface);
  TakeLog();
  Replug(*iface);
  EXPECT_EQ(TakeLog(), (Log{"removal 1", "arrival 1", "change"}));
  ASSERT_EQ(controller->Devices().size(), 2u);
  EXPECT_EQ(Listed(0), stale);
  EXPECT_TRUE(Listed(1)->IsPluggedIn());
  EXPECT_EQ(Counters(), (Counts{1, 0, 1}));
  delete stale;
  EXPECT_EQ(Counters(), (Counts{1, 0, 0}));
  EXPECT_EQ(controller->Devices().size(), 1u);
}

TEST_F(ControllerTest, DeviceDestroyedInItsOwnUnplugEventGetsNoRemovalEvent) {
  auto iface = Add(1);
  Add(2);
  Start();
  THidDevice* device = nullptr;
  ASSERT_TRUE(controller->CheckOutByID(device, kVendor, 1));
  rec.destroyOnUnplug = device;
  TakeLog();
  Unplug(*iface);
  EXPECT_EQ(TakeLog(), (Log{"unplug 1", "change"}));
  ASSERT_EQ(controller->Devices().size(), 1u);
  EXPECT_EQ(Counters(), (Counts{1, 0, 0}));
}

TEST_F(ControllerTest, FailedListingCountsEveryDeviceAsGone) {
  Add(1);
  Start();
  TakeLog();
  platform->SetListingFails(true);
  platform->RaiseDeviceChange();
  EXPECT_EQ(TakeLog(), (Log{"unplug 1", "removal 1", "change"}));
  EXPECT_TRUE(controller->Devices().empty());
}

struct EnumerateCase {
  int stopAt;  // the handler returns false on this call (-1: never)
  int expected;
};
class EnumerateTest : public ControllerTest, public ::testing::WithParamInterface<EnumerateCase> {};

TEST_P(EnumerateTest, CountsPluggedEntriesUpToTheOneThatStops) {
  Add(1);
  auto gone = Add(2);
  Add(3);
  Add(4);
  Start();
  THidDevice* held = nullptr;
  ASSERT_TRUE(controller->CheckOutByIndex(held, 1));
  Unplug(*gone);  // stays listed, not plugged in: skipped
  TakeLog();
  rec.enumerateStopAt = GetParam().stopAt;
  EXPECT_EQ(controller->Enumerate(), GetParam().expected);
  EXPECT_EQ(static_cast<int>(TakeLog().size()), GetParam().expected);
  controller->CheckIn(held);
}
INSTANTIATE_TEST_SUITE_P(Rules, EnumerateTest,
                         ::testing::Values(EnumerateCase{-1, 3}, EnumerateCase{0, 1},
                                           EnumerateCase{1, 2}, EnumerateCase{2, 3}));

TEST_F(ControllerTest, EnumerateWithoutHandlerVisitsOneDevice) {
  Add(1);
  Add(2);
  auto stored = Stored();
  stored.OnEnumerate = {};
  Start(stored);
  EXPECT_EQ(controller->Enumerate(), 1);
}

TEST_F(ControllerTest, EnumerateHandlerCanReadStringsAndHandlesAreClosedAfterwards) {
  auto iface = Add(1, "Pedals");
  Start();
  struct Reader {
    QString name;
    bool Read(THidDevice* d, std::int32_t) {
      name = d->ProductName();
      d->OpenFile();
      return true;
    }
  } reader;
  controller->SetOnEnumerate({&reader, &Reader::Read});
  EXPECT_EQ(controller->Enumerate(), 1);
  EXPECT_EQ(reader.name, "Pedals");
  EXPECT_EQ(iface->OpenHandleCount(), 0);
}

TEST_F(ControllerTest, CheckOutTakesTheFirstFreeEntryWhateverItIs) {
  Add(1);
  Add(2);
  Start();
  THidDevice* first = nullptr;
  THidDevice* second = nullptr;
  THidDevice* third = reinterpret_cast<THidDevice*>(&rec);
  ASSERT_TRUE(controller->CheckOut(first));
  ASSERT_TRUE(controller->CheckOut(second));
  EXPECT_EQ(first, Listed(0));
  EXPECT_EQ(second, Listed(1));
  EXPECT_FALSE(controller->CheckOut(third));
  EXPECT_EQ(third, nullptr);
  EXPECT_EQ(Counters(), (Counts{0, 2, 0}));
  EXPECT_FALSE(first->CheckOut());  // already checked out
  controller->CheckIn(first);
  controller->CheckIn(second);
  EXPECT_EQ(Counters(), (Counts{2, 0, 0}));
}

TEST_F(ControllerTest, CheckOutByIdMatchesEveryProductWithPidMinusOne) {
  Add(1);
  Add(2);
  Start();
  THidDevice* device = nullptr;
  EXPECT_FALSE(controller->CheckOutByID(device, kVendor, 3));
  EXPECT_FALSE(controller->CheckOutByID(device, -1, -1));
  ASSERT_TRUE(controller->CheckOutByID(device, kVendor, 2));
  EXPECT_EQ(device, Listed(1));
  THidDevice* any = nullptr;
  ASSERT_TRUE(controller->CheckOutByID(any, kVendor, -1));
  EXPECT_EQ(any, Listed(0));
  EXPECT_EQ(controller->CountByID(kVendor, -1), 2);
  EXPECT_EQ(controller->CountByID(kVendor, 1), 1);
}

TEST_F(ControllerTest, CheckOutByNameMatchesOnlyNamesAlreadyReadOrEmptyNamesNever) {
  Add(1, "Pedals");
  Start();
  THidDevice* device = nullptr;
  EXPECT_FALSE(controller->CheckOutByProductName(device, ""));
  // A listed device cannot be opened outside an event, so its name is unknown yet.
  EXPECT_FALSE(controller->CheckOutByProductName(device, "Pedals"));
  EXPECT_EQ(controller->Enumerate(), 1);  // nothing read there either
  THidDevice* byClass = nullptr;
  ASSERT_TRUE(controller->CheckOutByClass(byClass, "HIDClass"));
  EXPECT_EQ(byClass->ProductName(), "Pedals");  // checked out: readable, and now cached
  controller->CheckIn(byClass);
  ASSERT_TRUE(controller->CheckOutByProductName(device, "Pedals"));
  EXPECT_FALSE(controller->CheckOutByVendorName(byClass, "Maker"));  // the only one is taken
  controller->CheckIn(device);
}

TEST_F(ControllerTest, CheckOutByCallbackSeesEnumeratedDevicesAndClosesTheRejected) {
  auto first = Add(1, "Other");
  Add(2, "Pedals");
  Start();
  THidDevice* device = nullptr;
  const THidCheckCallback isPedals = [](THidDevice* d) { return d->ProductName() == "Pedals"; };
  ASSERT_TRUE(controller->CheckOutByCallback(device, isPedals));
  EXPECT_EQ(device, Listed(1));
  EXPECT_FALSE(device->IsEnumerated());
  EXPECT_EQ(first->OpenHandleCount(), 0);
  EXPECT_EQ(controller->CountByCallback(isPedals), 1);
  EXPECT_EQ(controller->CountByProductName("Pedals"), 1);  // cached by the callback
  controller->CheckIn(device);
}

TEST_F(ControllerTest, CheckInOfAListedDeviceLeavesTheCountersAlone) {
  Add(1);
  Start();
  THidDevice* device = Listed(0);
  controller->CheckIn(device);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(Counters(), (Counts{1, 0, 0}));
}

TEST_F(ControllerTest, DestroyingAHeldDeviceLeavesAFreshEquivalentAtTheSameIndex) {
  Add(1);
  Add(2);
  Add(3);
  Start();
  THidDevice* device = nullptr;
  ASSERT_TRUE(controller->CheckOutByIndex(device, 1));
  device->SetThreadSleepTime(50);
  device->SetPollingDelayTime(3);
  delete device;
  ASSERT_EQ(controller->Devices().size(), 3u);
  THidDevice* fresh = Listed(1);
  EXPECT_EQ(fresh->Attributes().ProductID, 2);
  EXPECT_FALSE(fresh->IsCheckedOut());
  EXPECT_EQ(fresh->DataThread(), nullptr);
  EXPECT_EQ(fresh->ThreadSleepTime(), 50);
  EXPECT_EQ(fresh->PollingDelayTime(), 3);
  EXPECT_EQ(fresh->OnData(), THidDataEvent(&rec, &Recorder::OnData));
  EXPECT_EQ(Counters(), (Counts{3, 0, 0}));
  platform->RaiseDeviceChange();
  EXPECT_EQ(TakeLog(), (Log{"arrival 1", "arrival 2", "arrival 3", "change"}));
}

TEST_F(ControllerTest, DestroyingAHeldDeviceWhoseReplacementFailsDropsTheEntry) {
  auto iface = Add(1);
  Start();
  THidDevice* device = nullptr;
  ASSERT_TRUE(controller->CheckOut(device));
  iface->SetOpenFailures(-1);
  delete device;
  EXPECT_TRUE(controller->Devices().empty());
  EXPECT_EQ(Counters(), (Counts{0, 0, 0}));
}

TEST_F(ControllerTest, CreateErrorWithoutHandlerPropagatesAndLeavesTheListAlone) {
  Add(1);
  Start();
  TakeLog();
  auto broken = Add(2);
  broken->SetOpenFailures(-1);
  EXPECT_THROW(platform->RaiseDeviceChange(), EControllerError);
  EXPECT_EQ(controller->Devices().size(), 1u);
  EXPECT_EQ(TakeLog(), Log{});
  broken->SetOpenFailures(0);
  platform->RaiseDeviceChange();  // the guard was reset: notifications still run passes
  EXPECT_EQ(TakeLog(), (Log{"arrival 2", "change"}));
}

TEST_F(ControllerTest, CreateErrorHandlerDecidesBetweenSkipAndRetry) {
  // Handled with a retry up to the third failure of an interface, then handled as a skip.
  struct Handler {
    std::map<std::uint32_t, int> failures;
    void OnError(THidDeviceController*, THidPnPInfo* info, bool& handled, bool& retry) {
      EXPECT_FALSE(handled);
      handled = true;
      retry = ++failures[info->DeviceID()] < 3;
    }
  } handler;
  auto unidentified = Add(1);
  unidentified->SetAttributesFail(true);
  auto flaky = Add(2);
  flaky->SetOpenFailures(4);  // two attempts fail (each tries read/write, then query-only)
  auto stored = Stored();
  stored.OnDeviceCreateError = {&handler, &Handler::OnError};
  Start(stored);
  EXPECT_EQ(TakeLog(), (Log{"arrival 2", "change"}));
  EXPECT_EQ(handler.failures[unidentified->DeviceInstance()], 3);
  EXPECT_EQ(handler.failures[flaky->DeviceInstance()], 2);
  controller.reset();  // its last pass still consults the handler
}

TEST_F(ControllerTest, InertControllerListsNothingAndWatchesNothing) {
  Add(1);
  platform->SetAvailable(false);
  Start();
  EXPECT_TRUE(controller->IsInert());
  EXPECT_EQ(platform->WatchCount(), 0);
  EXPECT_EQ(TakeLog(), Log{});
  controller->DeviceChange();
  EXPECT_EQ(controller->Enumerate(), 0);
  THidDevice* device = nullptr;
  EXPECT_FALSE(controller->CheckOut(device));
  EXPECT_EQ(controller->HidGuid(), "{4D1E55B2-F16F-11CF-88CB-001111000030}");
}

TEST_F(ControllerTest, AssigningOnDeviceChangeRunsAPassOnlyForADifferentHandler) {
  Start();
  TakeLog();
  const int listings = platform->ListingCount();
  controller->SetOnDeviceChange({&rec, &Recorder::Change});
  EXPECT_EQ(platform->ListingCount(), listings);
  controller->SetOnDeviceChange({});
  EXPECT_EQ(platform->ListingCount(), listings + 1);
  Recorder other;
  controller->SetOnDeviceChange({&other, &Recorder::Change});
  EXPECT_EQ(platform->ListingCount(), listings + 2);
}

TEST_F(ControllerTest, ConstructorWithOnDeviceChangeRunsAPassAtOnce) {
  Add(1);
  controller = std::make_unique<THidDeviceController>(platform, nullptr, THidDeviceCreateError{},
                                                      TNotifyEvent{&rec, &Recorder::Change});
  EXPECT_EQ(controller->Devices().size(), 1u);
  EXPECT_EQ(TakeLog(), Log{"change"});  // OnArrival is not assigned by this constructor
  QCoreApplication::processEvents();    // the start-up pass finds nothing new, yet reports
  EXPECT_EQ(TakeLog(), Log{"change"});
}

TEST_F(ControllerTest, NotificationDuringANotificationPassIsDropped) {
  Add(1);
  struct Nested {
    VirtualHidPlatform* platform;
    int arrivals = 0;
    void OnArrival(THidDevice*) {
      ++arrivals;
      platform->RaiseDeviceChange();
    }
  } nested{platform.get()};
  auto stored = Stored();
  stored.OnArrival = {&nested, &Nested::OnArrival};
  Start(stored);
  EXPECT_EQ(nested.arrivals, 1);
  EXPECT_EQ(platform->ListingCount(), 1);
  controller.reset();
}

TEST_F(ControllerTest, DevTimesPassOnlyToDevicesStillHoldingTheOldValue) {
  Add(1);
  Add(2);
  Start();
  Listed(0)->SetThreadSleepTime(200);
  controller->SetDevThreadSleepTime(5);  // refused by the device's range check
  EXPECT_EQ(Listed(0)->ThreadSleepTime(), 200);
  EXPECT_EQ(Listed(1)->ThreadSleepTime(), 100);
  controller->SetDevThreadSleepTime(300);
  EXPECT_EQ(Listed(0)->ThreadSleepTime(), 200);
  EXPECT_EQ(Listed(1)->ThreadSleepTime(), 100);  // held 100, but the controller held 5
  controller->SetDevPollingDelayTime(7);
  EXPECT_EQ(Listed(1)->PollingDelayTime(), 7);
  controller->SetDevThreadSleepTime(5);
  Add(3);
  platform->RaiseDeviceChange();
  EXPECT_EQ(Listed(2)->ThreadSleepTime(), 5);  // construction copies without a check
}

TEST_F(ControllerTest, VersionIsFixedAndHidVersionComesFromThePlatform) {
  platform->SetHidVersion(u"10.0.1");
  Start();
  controller->SetVersion("2.0");
  EXPECT_EQ(controller->Version(), "1.0.35");
  EXPECT_EQ(controller->HidVersion(), "10.0.1");
}

TEST_F(ControllerTest, DestructionClearsTheSharedUnplugEventAndDestroysHeldDevices) {
  auto iface = Add(1);
  Start();
  THidDevice* device = nullptr;
  ASSERT_TRUE(controller->CheckOut(device));
  TakeLog();
  controller.reset();
  EXPECT_EQ(TakeLog(), Log{});  // last pass found nothing new; no unplug event
  EXPECT_EQ(iface->OpenHandleCount(), 0);
  EXPECT_EQ(platform->WatchCount(), 0);
}

TEST_F(ControllerTest, OnDeviceDataAssignmentStartsAndStopsReadingThreads) {
  Add(1);
  auto stored = Stored();
  stored.OnDeviceData = {};
  Start(stored);
  THidDevice* device = nullptr;
  ASSERT_TRUE(controller->CheckOut(device));
  EXPECT_EQ(device->DataThread(), nullptr);
  controller->SetOnDeviceData({&rec, &Recorder::OnData});
  EXPECT_NE(device->DataThread(), nullptr);
  controller->SetOnDeviceData({});
  EXPECT_EQ(device->DataThread(), nullptr);
  controller->CheckIn(device);
}

TEST(DelegateTest, EqualExactlyForTheSameReceiverAndFunction) {
  Recorder a;
  Recorder b;
  const THidPlugEvent empty;
  EXPECT_FALSE(empty);
  EXPECT_EQ(empty, THidPlugEvent(nullptr));
  EXPECT_EQ(THidPlugEvent(&a, &Recorder::Arrival), THidPlugEvent(&a, &Recorder::Arrival));
  EXPECT_FALSE(THidPlugEvent(&a, &Recorder::Arrival) == THidPlugEvent(&b, &Recorder::Arrival));
  EXPECT_FALSE(THidPlugEvent(&a, &Recorder::Arrival) == THidPlugEvent(&a, &Recorder::Removal));
  EXPECT_FALSE(THidPlugEvent(&a, &Recorder::Arrival) == empty);
}

}  // namespace
}  // namespace hidtest
