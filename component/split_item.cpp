#include "orvo/automation/error.hpp"
#include "orvo/component/print_setup_object.hpp"

namespace orvo {

std::string PrintSetupUpdateObject::GetSplitItem(const std::string& text,
                                                 const std::string& separator, std::int16_t index) {
  if (index < 0) throw RuntimeError(kSubscriptOutOfRange);
  // An empty text has no pieces; an empty separator leaves the text whole.
  if (text.empty()) return {};
  std::size_t start = 0;
  for (std::int16_t piece = 0; piece < index; ++piece) {
    if (separator.empty()) return {};
    const std::size_t next = text.find(separator, start);
    if (next == std::string::npos) return {};
    start = next + separator.size();
  }
  const std::size_t end = separator.empty() ? std::string::npos : text.find(separator, start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace orvo
