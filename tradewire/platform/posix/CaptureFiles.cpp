#include "platform/CaptureFiles.h"

namespace CaptureFiles {

// These systems have no drive C: for the files to be on.
void RemoveStale() {}

}  // namespace CaptureFiles
