#include "store/messages.hpp"

#include "orvo/host/collections.hpp"

namespace orvo::store {

std::string GetLanguageText(std::string_view text, std::string_view /*language*/) {
  return std::string(text);
}

std::string FormatMessage(std::string_view text, std::string_view language,
                          const std::vector<Variant>& arguments) {
  return Utility::FormatText(GetLanguageText(text, language), arguments);
}

}  // namespace orvo::store
