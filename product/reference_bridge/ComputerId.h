#ifndef QUILO_PRODUCT_REFERENCE_BRIDGE_COMPUTERID_H
#define QUILO_PRODUCT_REFERENCE_BRIDGE_COMPUTERID_H

// The computer identifier the online-support program receives: the same text
// on every call on one machine, different across machines, and revealing
// neither input. It is the MD5 digest (32 upper-case hexadecimal digits) of
// the computer's NetBIOS name in upper case (UTF-8) followed by "|" and the
// serial number of the system volume as 8 upper-case hexadecimal digits.

#include <string>

std::string FormatComputerId(const std::wstring& computerName, unsigned long volumeSerial);

// The identifier of this machine; false with `error` set when the computer
// name or the system volume's serial number cannot be read.
bool ReadComputerId(std::string& id, std::string& error);

#endif
