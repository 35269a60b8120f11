#pragma once
// Operating-system facts the program's callers ask for. They have no meaning on Linux: the
// program always runs natively and never needs elevation to start its helper programs, so the
// values are fixed.

class COperateSystemInfo {
  public:
    // A 32-bit build running on a 64-bit system; never the case here.
    bool IsWow64() const { return false; }
    // The version code of "any later system" for a native process.
    int GetOsVersionCode() const { return 13; }
    // Whether helper programs (the file server) must be started elevated; they never must.
    bool NeedsElevation() const { return false; }
};
