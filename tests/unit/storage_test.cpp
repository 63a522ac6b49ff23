#include "base/storage.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

namespace {

TEST(SaveString, CopiesStayWholeAcrossBlocks) {
  // Enough texts to fill several blocks, and some larger than a block.
  std::vector<std::pair<const char*, std::string>> saved;
  for (int i = 0; i < 3000; i++) {
    std::string text(i % 500 == 0 ? 70000 + i : i % 97, static_cast<char>('a' + i % 26));
    saved.emplace_back(save_string(text.c_str()), text);
  }
  for (auto& [copy, text] : saved) ASSERT_EQ(copy, text);
  release(nullptr);
}

}  // namespace
