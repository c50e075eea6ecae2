#include "web/StaticLink.h"

#include <gtest/gtest.h>

// The link names itself and its base and, seen through a base pointer, is of the kinds up its
// chain; a plain static is not a link.
TEST(RuntimeClass, StaticLinkNamesItselfAndItsBase)
{
    CStaticLink link;
    CStatic plain;
    const CObject* const object = &link;
    EXPECT_STREQ(object->GetRuntimeClass()->m_lpszClassName, "CStaticLink");
    EXPECT_EQ(RUNTIME_CLASS(CStaticLink)->m_pBaseClass, RUNTIME_CLASS(CStatic));
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_FALSE(plain.IsKindOf(RUNTIME_CLASS(CStaticLink)));
}
