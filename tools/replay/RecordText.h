#pragma once
// The replay's text form of the library's records: every field, in declaration order, as
// " Name=value". Texts keep printable ASCII but the backslash and the comma and write every
// other character as \uXXXX (\UXXXXXXXX above 0xFFFF), so a value never contains a space;
// numbers are decimals with the fewest digits that read back as the same value; arrays are
// their values joined by commas; the quote inside an instrument shows as RealtimePrice.Name;
// an account shows how many fund lines and instruments it holds (Funds=, Merchs=), which
// follow as records of their own where printed. Stateless; any thread.

#include <tradewire/Records.h>

#include <string>

namespace RecordText {

void AppendText(std::string& out, const CString& text);
void AppendNumber(std::string& out, float value);
void AppendNumber(std::string& out, double value);

void Append(std::string& out, const CForexRealtimePrice& record, const char* prefix = "");
void Append(std::string& out, const CForexMerch& record);
void Append(std::string& out, const COrderInfo& record);
void Append(std::string& out, const CBargain& record);
void Append(std::string& out, const CHistoryOrderInfo& record);
void Append(std::string& out, const CCurrency& record);
void Append(std::string& out, const CBroadCast& record);
void Append(std::string& out, const CGroup& record);
void Append(std::string& out, const CBaseInfo& record);
void Append(std::string& out, const CFundInfo& record);
void Append(std::string& out, const CAccountInfo& record);

}  // namespace RecordText
