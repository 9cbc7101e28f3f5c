#pragma once
// The member line of a topology file:  Device( "VRC_4i4o" ) , NetNodeId( 0x01 )
// Read as the C scanner reads " Device( \"%[^\"]\" ) , NetNodeId( 0x%X )": white space may stand
// wherever the pattern has a blank, the keyword is one or more bytes other than a double quote,
// the number is hexadecimal after a literal "0x" (sign and a second 0x prefix allowed, as the
// scanner's %X allows them); whatever follows the number is not looked at.

#include <string>
#include <string_view>

namespace KrvCtrl {

struct TJknMemberLine {
    std::string Device;
    unsigned NetNodeId = 0;
};

// True when both the device keyword and the node number were found.
bool ScanJknMemberLine(std::string_view Line, TJknMemberLine& Out);

// ASCII comparison without regard to case.
bool SameTextAscii(std::string_view A, std::string_view B);

} // namespace KrvCtrl
