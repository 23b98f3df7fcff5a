#pragma once
// Results of instrument operations and of the binary exchange.

#include <cstdint>

namespace Device {

enum NError_code : std::int32_t {
    Err_Success = 0,
    Err_BadArguments = 1,   // also: not connected, no stream or package
    Err_HeaderRefused = 2,
    Err_UploadFailed = 3,
    Err_ProgramFailed = 4,
    Err_ModeChangeFailed = 5,
    Err_Communication = 6,   // short write, missing reply, stream error or an error status
    Err_PackageRead = 7,
    Err_PackageType = 8,
    Err_Aborted = 9,
    Err_HardwareRevision = 10,
    Err_NeedsNewerOs = 11,
    Err_Truncated = 12,   // the reply was larger than the buffer; the excess was discarded
    Err_Checksum = 13,
};

}   // namespace Device
