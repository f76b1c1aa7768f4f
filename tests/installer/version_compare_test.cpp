// Versions in the order people read them, never as strings.
#include <gtest/gtest.h>
#include "installer/install/version_compare.h"

namespace {

struct OrderCase {
    const wchar_t* first;
    const wchar_t* second;
    VersionOrder order;
};

const OrderCase kOrderCases[] = {
    {L"3.9", L"3.10", VERSION_OLDER},       // as strings "3.9" > "3.10"
    {L"3.10", L"3.9", VERSION_NEWER},
    {L"3.00", L"3.0", VERSION_SAME},
    {L"3", L"3.0.0", VERSION_SAME},
    {L"3.00", L"3.10", VERSION_OLDER},
    {L"10.0", L"9.99", VERSION_NEWER},
    {L"3.1.2", L"3.1.10", VERSION_OLDER},
    {L"3.10-beta", L"3.10", VERSION_SAME},  // the suffix is not compared
    {L"3.10+build7", L"3.9", VERSION_NEWER},
    {L"999999999.1", L"999999999.0", VERSION_NEWER},
    {L"1000000000", L"1", VERSION_UNKNOWN}, // ten digits
    {L"1.2.3.4.5.6.7.8", L"1.2.3.4.5.6.7.9", VERSION_OLDER},
    {L"1.2.3.4.5.6.7.8.9", L"1", VERSION_UNKNOWN},
    {L"", L"3.00", VERSION_UNKNOWN},
    {L"v3.10", L"3.00", VERSION_UNKNOWN},
    {L"3..10", L"3.00", VERSION_UNKNOWN},
    {L"3.10.", L"3.00", VERSION_UNKNOWN},
    {L"3.1a", L"3.00", VERSION_UNKNOWN},
    {nullptr, L"3.00", VERSION_UNKNOWN},
};

TEST(VersionCompare, PartByPartAsNumbers) {
    for (const OrderCase& c : kOrderCases) {
        EXPECT_EQ(version_compare(c.first, c.second), c.order)
            << (c.first ? c.first : L"(null)") << L" vs " << c.second;
    }
}

}  // namespace
