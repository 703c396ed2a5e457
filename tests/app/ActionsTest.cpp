// The action table is looked up by id: each row must sit at its id's place.
#include "app/Actions.h"

#include <gtest/gtest.h>

TEST(Actions, EachRowSitsAtItsId)
{
    const auto rows = allActions();
    ASSERT_EQ(rows.size(), size_t(ActionId::Count));
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(size_t(rows[i].id), i) << rows[i].name;
}
