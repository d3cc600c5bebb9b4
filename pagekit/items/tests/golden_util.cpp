// The golden pictures of the item tests live in this folder's golden/; the comparison
// is the core tests' one, built here with this folder's test directory.
#include "pagekit/core/tests/golden_util.cpp"
