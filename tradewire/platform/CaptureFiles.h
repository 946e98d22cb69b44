#pragma once
// The capture files an earlier build of the library wrote at the root of drive C:. A new
// connection object removes any it finds, so a stale capture of someone's session does not lie
// around; nothing in the library writes them. Called from the constructing thread.

namespace CaptureFiles {

// Removes "c:\recv.txt" and "c:\send.txt", each only when it exists. Failures are ignored.
// Windows only: other systems have no drive C: and nothing is removed there.
void RemoveStale();

}  // namespace CaptureFiles
