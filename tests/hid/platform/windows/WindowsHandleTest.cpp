// Handles on a present HID interface: identity, strings, report lengths and blocking writes.
#include <gtest/gtest.h>

#include <vector>

#include "WindowsHidTestDevice.h"

namespace hidplatform::windows {
namespace {

using WindowsHandle = WindowsHidDeviceTest;

TEST_F(WindowsHandle, ReadWriteHandleAnswersIdentityProductStringAndCaps) {
  const HandlePtr handle = OpenOrFail(OpenMode::ReadWrite);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(handle->Mode(), OpenMode::ReadWrite);

  HidAttributes attributes;
  EXPECT_TRUE(handle->GetAttributes(attributes));
  std::u16string product;
  EXPECT_TRUE(handle->GetProductString(product));
  EXPECT_FALSE(product.empty());
  EXPECT_EQ(product.find(u'\0'), std::u16string::npos);
  std::u16string manufacturer;
  EXPECT_TRUE(handle->GetManufacturerString(manufacturer));

  const HidCaps caps = CapsOf(*handle);
  EXPECT_EQ(caps.UsagePage, 0x01);  // generic desktop: Wine's mouse and keyboard
  EXPECT_GT(caps.InputReportByteLength, 0);
}

TEST_F(WindowsHandle, QueryOnlyHandleIdentifiesTheDeviceButRefusesWrites) {
  const HandlePtr handle = OpenOrFail(OpenMode::QueryOnly);
  ASSERT_NE(handle, nullptr);
  HidAttributes attributes;
  EXPECT_TRUE(handle->GetAttributes(attributes));
  std::vector<std::uint8_t> report(8, 0);
  std::uint32_t written = 77;
  EXPECT_FALSE(handle->Write(report, written));
}

// Wine's devices have no output report, so any output report is refused, as a write of the
// wrong length is on Windows; nothing may claim success.
TEST_F(WindowsHandle, WriteOfAReportTheDeviceCannotTakeFails) {
  const HandlePtr handle = OpenOrFail(OpenMode::ReadWrite);
  ASSERT_NE(handle, nullptr);
  ASSERT_EQ(CapsOf(*handle).OutputReportByteLength, 0);
  const std::vector<std::uint8_t> report = {0x00, 0x01, 0x02};
  std::uint32_t written = 77;
  EXPECT_FALSE(handle->Write(report, written));
  EXPECT_EQ(written, 0u);
}

TEST_F(WindowsHandle, InputBufferCountIsSetAndReadBack) {
  const HandlePtr handle = OpenOrFail(OpenMode::ReadWrite);
  ASSERT_NE(handle, nullptr);
  std::uint32_t count = 0;
  ASSERT_TRUE(handle->GetNumInputBuffers(count));
  EXPECT_GT(count, 0u);
  ASSERT_TRUE(handle->SetNumInputBuffers(64));
  ASSERT_TRUE(handle->GetNumInputBuffers(count));
  EXPECT_EQ(count, 64u);
}

TEST_F(WindowsHandle, ReadIntoABufferShorterThanTheInputReportIsRefused) {
  const HandlePtr reader = OpenOrFail(OpenMode::OverlappedRead);
  ASSERT_NE(reader, nullptr);
  ASSERT_GT(CapsOf(*reader).InputReportByteLength, 1);
  std::vector<std::uint8_t> buffer(1);
  EXPECT_EQ(reader->StartRead(buffer), kErrorInvalidUserBuffer);
  EXPECT_TRUE(reader->CancelRead());  // nothing outstanding
}

TEST_F(WindowsHandle, ParsedDescriptorOutlivesItsHandle) {
  HandlePtr handle = OpenOrFail(OpenMode::ReadWrite);
  ASSERT_NE(handle, nullptr);
  const auto preparsed = handle->GetPreparsedData();
  ASSERT_NE(preparsed, nullptr);
  const HidCaps before = preparsed->Caps();
  handle->Close();
  handle.reset();
  EXPECT_EQ(preparsed->Caps().InputReportByteLength, before.InputReportByteLength);
  std::vector<HidLinkCollectionNode> nodes(before.NumberLinkCollectionNodes);
  EXPECT_EQ(preparsed->GetLinkCollectionNodes(nodes), kHidpStatusSuccess);
}

TEST_F(WindowsHandle, ClosedHandleRefusesEveryCall) {
  const HandlePtr handle = OpenOrFail(OpenMode::ReadWrite);
  const HandlePtr reader = OpenOrFail(OpenMode::OverlappedRead);
  ASSERT_TRUE(handle && reader);
  handle->Close();
  reader->Close();
  handle->Close();  // again: nothing happens

  EXPECT_TRUE(handle->IsClosed());
  HidAttributes attributes;
  EXPECT_FALSE(handle->GetAttributes(attributes));
  std::u16string text;
  EXPECT_FALSE(handle->GetProductString(text));
  EXPECT_EQ(handle->GetPreparsedData(), nullptr);
  std::uint32_t written = 0;
  EXPECT_FALSE(handle->Write(std::vector<std::uint8_t>(4, 0), written));
  std::vector<std::uint8_t> buffer(64);
  EXPECT_EQ(reader->StartRead(buffer), kErrorInvalidHandle);
  EXPECT_EQ(reader->LastTransferCount(), 0u);
}

TEST_F(WindowsHandle, OpeningAPathThatIsNotPresentFailsWithThePlatformCode) {
  std::uint32_t error = kErrorSuccess;
  EXPECT_EQ(platform.Open(path + u"-gone", OpenMode::ReadWrite, &error), nullptr);
  EXPECT_NE(error, kErrorSuccess);
}

}  // namespace
}  // namespace hidplatform::windows
