// Every light and motor command with the packet it must put on the line,
// shared by the tests against an in-process board and against a board on a
// COM port.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "board/DeviceModule.h"

struct TPacketCase {
  const char* Name;
  std::function<void(TDeviceModule&)> Send;
  std::vector<std::uint8_t> Bytes;
};

// The MoveMotor row goes through TCommandCenter, so DeviceModule must point at
// the module under test.
inline std::vector<TPacketCase> PacketCases() {
  return {
      {"LEDOff", [](TDeviceModule& m) { m.LEDOff(); }, {0xAA, 0xC1, 0x00, 0x00, 0x00, 0x6B, 0xBB}},
      {"WhiteOn(5)", [](TDeviceModule& m) { m.WhiteOn(5); }, {0xAA, 0xC1, 0x00, 0x7F, 0x00, 0xEA, 0xBB}},
      {"UVOn(7)", [](TDeviceModule& m) { m.UVOn(7); }, {0xAA, 0xC1, 0x00, 0x00, 0xB2, 0x1D, 0xBB}},
      {"WhiteOn(10)", [](TDeviceModule& m) { m.WhiteOn(10); }, {0xAA, 0xC1, 0x00, 0xFF, 0x00, 0x6A, 0xBB}},
      {"WhiteOn(11)", [](TDeviceModule& m) { m.WhiteOn(11); }, {0xAA, 0xC1, 0x00, 0x18, 0x00, 0x83, 0xBB}},
      {"WarmWhiteOn(1)", [](TDeviceModule& m) { m.WarmWhiteOn(1); }, {0xAA, 0xC1, 0x19, 0x00, 0x00, 0x84, 0xBB}},
      {"WhiteAndWarmWhiteOn(2)",
       [](TDeviceModule& m) { m.WhiteAndWarmWhiteOn(2); },
       {0xAA, 0xC1, 0x33, 0x33, 0x00, 0xD1, 0xBB}},
      {"WhiteAndWarmWhiteAndUVOn(3)",
       [](TDeviceModule& m) { m.WhiteAndWarmWhiteAndUVOn(3); },
       {0xAA, 0xC1, 0x4C, 0x4C, 0x4C, 0x4F, 0xBB}},
      {"MotorUp(0)", [](TDeviceModule& m) { m.MotorUp(0); }, {0xAA, 0xC3, 0x01, 0x9B, 0x00, 0x09, 0xBB}},
      {"MotorDown(10)", [](TDeviceModule& m) { m.MotorDown(10); }, {0xAA, 0xC3, 0x00, 0xFF, 0x00, 0x6C, 0xBB}},
      {"MotorStop", [](TDeviceModule& m) { m.MotorStop(); }, {0xAA, 0xC3, 0x01, 0x00, 0x00, 0x6E, 0xBB}},
      {"MotorSulo(47, 5)", [](TDeviceModule& m) { m.MotorSulo(47, 5); }, {0xAA, 0xC2, 0x2F, 0xCD, 0x00, 0x68, 0xBB}},
      // 0x0A in a parameter must pass the line untranslated.
      {"MoveMotor", [](TDeviceModule&) { TCommandCenter::MoveMotor(); }, {0xAA, 0xC2, 0x0A, 0x63, 0x00, 0xD9, 0xBB}},
  };
}
