#include "base/storage.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

namespace {

class StorageTest : public ResetModulesTest {};

TEST_F(StorageTest, FirstLargeTextSetsCapacityByDoubling) {
  std::string text(3000, 'x');
  char* copy = store_var_text(text.data(), 3000);
  EXPECT_EQ(var_storage_capacity(), 4096u);
  EXPECT_EQ(std::string(copy), text);
}

TEST_F(StorageTest, SmallTextStartsAt1024) {
  store_var_text("abc", 3);
  EXPECT_EQ(var_storage_capacity(), 1024u);
}

TEST_F(StorageTest, EarlierTextsStayValidWhenStorageGrows) {
  const char* first = store_var_text("r5", 2);
  std::string big(5000, 'y');
  const char* second = store_var_text(big.data(), 5000);
  EXPECT_EQ(var_storage_capacity(), 8192u);
  EXPECT_STREQ(first, "r5");
  EXPECT_EQ(std::string(second), big);
  const char* third = store_var_text("#0x0", 4);
  EXPECT_STREQ(first, "r5");
  EXPECT_STREQ(third, "#0x0");
}

TEST_F(StorageTest, ClearVarsKeepsCapacityAndUnbinds) {
  rule_vars[1] = RuleVar{store_var_text("abc", 3), 3};
  std::string big(3000, 'z');
  store_var_text(big.data(), 3000);
  clear_vars();
  EXPECT_EQ(rule_vars[1].text, nullptr);
  EXPECT_EQ(var_storage_capacity(), 4096u);
  // Storage starts over from the beginning after clearing.
  const char* a = store_var_text("q", 1);
  const char* b = store_var_text("w", 1);
  EXPECT_EQ(b - a, 2);
}

TEST_F(StorageTest, TextWithZeroByteKeepsItsLength) {
  const char text[] = {'a', '\0', 'b'};
  char* copy = store_var_text(text, 3);
  EXPECT_EQ(std::string(copy, 4), std::string("a\0b\0", 4));
}

// Former bugs

// Allocation failures are forced by a limit on the address space, which the
// address sanitizer cannot run under.
void limit_address_space() {
  rlimit limit{1u << 30, 1u << 30};
  setrlimit(RLIMIT_AS, &limit);
}

TEST_F(StorageTest, GrowthFailureIsReportedAsResize) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "needs a limited address space";
#endif
  // Nothing is copied: the allocation fails first.
  EXPECT_EXIT_PRINTS(
      {
        limit_address_space();
        store_var_text("x", 1 << 30);
      },
      255, "\n|\n\"\", line 0: Malloc() denied space for variable storage\n");
  EXPECT_EXIT_PRINTS(
      {
        store_var_text("x", 1);
        limit_address_space();
        store_var_text("x", 1 << 30);
      },
      255, "\n|\n\"\", line 0: realloc() denied space for variable storage\n");
}

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
