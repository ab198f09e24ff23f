#pragma once
// Command lists (module SubMain): decimal command codes joined by "," in transfer order.
// Items are compared numerically (07 and 7 are the same code) and copied as written.
#include <string>
#include <utility>
#include <vector>

namespace SubMain {

// Rebuilds gstrAllCmdList, gstrKRVCmdList and gstrWriteCmdList (developing mode adds codes).
bool gblnMakeAllCmdSet();
// Union: A, then the items of B that are not in A.
bool gblnSumCmdSet(std::string vstrCmdA, std::string vstrCmdB, std::string& rstrResult);
// Intersection: the items of B that are in A, in B's order.
bool gblnAndCmdSet(std::string vstrCmdA, std::string vstrCmdB, std::string& rstrResult);
// Difference: the items of A that are not in B, in A's order.
bool gblnSubCmdSet(std::string vstrCmdA, std::string vstrCmdB, std::string& rstrResult);
// The codes ordered by section, key (case ignored) and the code's text; the input on failure.
std::string gstrSortCommandList(std::string vstrCmdList);
// The codes of gstrAllCmdList the current mode lets the user see; the whole list on failure.
std::string gstrChangeEnableCommandList();

// The ordering of code lists by section and key: entries are kept in ascending order of
// their upper-cased text (ordinal comparison); a new entry goes after the entries equal to it.
class OrderedEntries {
 public:
  void Insert(const std::string& text, std::string payload);
  const std::vector<std::pair<std::string, std::string>>& Items() const { return items_; }
  // The payloads joined by ",".
  std::string JoinPayloads() const;

 private:
  std::vector<std::pair<std::string, std::string>> items_;  // (upper-cased text, payload)
};

}  // namespace SubMain
