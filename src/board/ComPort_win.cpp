// The serial device on Windows: a COM port opened for overlapped transfers.
#include <windows.h>

#include <algorithm>
#include <thread>

#include "board/ComPort.h"
#include "board/ComPortDevice.h"
#include "logging/Log.h"
#include "platform/WideText.h"

namespace {

// Driver queue sizes asked for at open, and the XON/XOFF limits (a quarter of
// the input queue; they matter only with XON/XOFF, which stays off).
constexpr DWORD InputQueueSize = 1024;
constexpr DWORD OutputQueueSize = 1024;

constexpr DWORD AllLineEvents =
    EV_RXCHAR | EV_TXEMPTY | EV_RXFLAG | EV_RING | EV_BREAK | EV_CTS | EV_DSR | EV_ERR | EV_RLSD | EV_RX80FULL;
// What a device without modem lines or line-error reporting can still watch
// (a pseudo-terminal behind Wine refuses the full set).
constexpr DWORD QueueLineEvents = EV_RXCHAR | EV_TXEMPTY | EV_RXFLAG;

// A read that the driver keeps pending although bytes are queued is given this
// long before it is cancelled with what it has.
constexpr DWORD ReadPendingLimitMs = 100;

int ErrorNumber(DWORD error) { return int(error); }

// One overlapped transfer's record with its own completion event.
class TOverlapped {
 public:
  explicit TOverlapped(int failureCode) {
    FOverlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!FOverlapped.hEvent) throw EComPort(failureCode, ErrorNumber(GetLastError()));
  }
  ~TOverlapped() { CloseHandle(FOverlapped.hEvent); }
  TOverlapped(const TOverlapped&) = delete;
  TOverlapped& operator=(const TOverlapped&) = delete;
  OVERLAPPED* Record() { return &FOverlapped; }
  HANDLE Event() const { return FOverlapped.hEvent; }

 private:
  OVERLAPPED FOverlapped{};
};

class TWinDevice : public TComPortDevice {
 public:
  explicit TWinDevice(HANDLE handle) : FHandle(handle) {}

  ~TWinDevice() override {
    // Only a read is aborted. No write can be pending here (Write waits for
    // its transfer under the port's lock), and some drivers (Wine's) take the
    // transmit abort for an order to empty the output queue, which holds the
    // last packets written.
    if (!PurgeComm(FHandle, PURGE_RXABORT))
      Trace(std::string("TComPort.Close : ") + EComPort(CError_PurgeFailed, ErrorNumber(GetLastError())).what());
    if (FEvents.joinable()) {
      SetEvent(FStop);
      FEvents.join();
    }
    if (FStop) CloseHandle(FStop);
    CloseHandle(FHandle);
  }

  // Queue sizes, line settings and time-outs, in that order.
  void Configure() {
    if (!SetupComm(FHandle, InputQueueSize, OutputQueueSize))
      throw EComPort(CError_SetupComFailed, ErrorNumber(GetLastError()));

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(FHandle, &dcb)) throw EComPort(CError_SetStateFailed, ErrorNumber(GetLastError()));
    dcb.BaudRate = CBR_9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;  // every byte passes unchanged, no end-of-file character
    dcb.fParity = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.XonChar = 17;
    dcb.XoffChar = 19;
    dcb.XonLim = WORD(InputQueueSize / 4);
    dcb.XoffLim = WORD(InputQueueSize / 4);
    dcb.EvtChar = 0;
    if (!SetCommState(FHandle, &dcb)) throw EComPort(CError_SetStateFailed, ErrorNumber(GetLastError()));

    // Reads return at once with what has arrived; a write of n bytes gives up
    // after 100 * n + 1000 ms.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = WriteTotalMultiplierMs;
    timeouts.WriteTotalTimeoutConstant = WriteTotalConstantMs;
    if (!SetCommTimeouts(FHandle, &timeouts)) throw EComPort(CError_TimeoutsFailed, ErrorNumber(GetLastError()));
  }

  // The port works without its line-event thread, so a thread that cannot be
  // had is only traced.
  void StartLineEvents() {
    FStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!FStop) {
      Trace("TComPort line events unavailable (Error: " + std::to_string(GetLastError()) + ")");
      return;
    }
    try {
      FEvents = std::thread([this] { WatchLineEvents(); });
    } catch (const std::exception& e) {
      Trace(std::string("TComPort line events unavailable : ") + e.what());
    }
  }

  int Write(const void* buffer, int count) override {
    if (count <= 0) return 0;
    TOverlapped transfer(CError_WriteFailed);
    if (!WriteFile(FHandle, buffer, DWORD(count), nullptr, transfer.Record()) && GetLastError() != ERROR_IO_PENDING)
      throw EComPort(CError_WriteFailed, ErrorNumber(GetLastError()));
    // The write time-outs end the wait; a write that timed out completes
    // successfully with the bytes that went out.
    DWORD written = 0;
    if (!GetOverlappedResult(FHandle, transfer.Record(), &written, TRUE))
      throw EComPort(CError_WriteFailed, ErrorNumber(GetLastError()));
    return int(written);
  }

  int Read(void* buffer, int count) override {
    if (count <= 0) return 0;
    // The time-outs ask for a read that returns at once, but not every driver
    // honours them for overlapped reads (Wine's keeps an empty read pending
    // until bytes come). Asking only for what is already queued has the same
    // effect everywhere.
    DWORD want = DWORD(count);
    DWORD errors = 0;
    COMSTAT status{};
    if (ClearCommError(FHandle, &errors, &status)) {
      if (status.cbInQue == 0) return 0;
      want = std::min<DWORD>(want, status.cbInQue);
    }
    TOverlapped transfer(CError_ReadFailed);
    if (!ReadFile(FHandle, buffer, want, nullptr, transfer.Record()) && GetLastError() != ERROR_IO_PENDING)
      throw EComPort(CError_ReadFailed, ErrorNumber(GetLastError()));
    if (WaitForSingleObject(transfer.Event(), ReadPendingLimitMs) != WAIT_OBJECT_0)
      CancelIoEx(FHandle, transfer.Record());
    DWORD read = 0;
    if (!GetOverlappedResult(FHandle, transfer.Record(), &read, TRUE) && GetLastError() != ERROR_OPERATION_ABORTED)
      throw EComPort(CError_ReadFailed, ErrorNumber(GetLastError()));
    return int(read);
  }

 private:
  // Runs from Open to Close. The event sets it receives have no handler to go
  // to; on its way out it clears the event mask and empties the input queue.
  // The output queue is left to drain: what it holds has been written (the
  // tear-down packets a closing view sends: lights off, rig down), and
  // emptying it would lose them on a driver that completes writes before the
  // bytes are on the line.
  void WatchLineEvents() {
    TLog::SetThreadName("com-events");
    try {
      TOverlapped wait(CError_OpenFailed);
      DWORD mask = AllLineEvents;
      bool watching = SetCommMask(FHandle, mask);
      while (watching && WaitForSingleObject(FStop, 0) != WAIT_OBJECT_0) {
        DWORD events = 0;
        ResetEvent(wait.Event());
        if (!WaitCommEvent(FHandle, &events, wait.Record())) {
          const DWORD error = GetLastError();
          if (error != ERROR_IO_PENDING) {
            if (mask == AllLineEvents) {
              mask = QueueLineEvents;
              watching = SetCommMask(FHandle, mask);
              continue;
            }
            Trace("TComPort line events unavailable (Error: " + std::to_string(error) + ")");
            break;
          }
          const HANDLE signals[] = {FStop, wait.Event()};
          if (WaitForMultipleObjects(2, signals, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
            // Changing the mask ends the pending wait; the record must not be
            // let go while the driver may still write to it.
            SetCommMask(FHandle, 0);
            if (WaitForSingleObject(wait.Event(), 1000) != WAIT_OBJECT_0) CancelIoEx(FHandle, wait.Record());
            DWORD ignored = 0;
            GetOverlappedResult(FHandle, wait.Record(), &ignored, TRUE);
            break;
          }
          DWORD ignored = 0;
          if (!GetOverlappedResult(FHandle, wait.Record(), &ignored, FALSE)) {
            Trace("TComPort line events ended (Error: " + std::to_string(GetLastError()) + ")");
            break;
          }
        }
      }
    } catch (const std::exception& e) {
      Trace(std::string("TComPort line events unavailable : ") + e.what());
    }
    // A thread that gave up early still waits for Close before cleaning up.
    WaitForSingleObject(FStop, INFINITE);
    SetCommMask(FHandle, 0);
    PurgeComm(FHandle, PURGE_RXCLEAR);
  }

  HANDLE FHandle;
  HANDLE FStop = nullptr;
  std::thread FEvents;
};

}  // namespace

std::unique_ptr<TComPortDevice> TComPortDevice::Open(const std::string& path) {
  const HANDLE handle = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OVERLAPPED, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw EComPort(CError_OpenFailed, ErrorNumber(GetLastError()));
  auto device = std::make_unique<TWinDevice>(handle);
  device->Configure();  // a refusal destroys the device, which closes it
  device->StartLineEvents();
  return device;
}
