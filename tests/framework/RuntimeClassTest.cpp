#include "web/StaticLink.h"

#include <gtest/gtest.h>

// The link names itself and its base and is of the kind of every class up its chain, also
// seen through a base pointer; kinds never answer down the chain.
TEST(RuntimeClass, StaticLinkNamesItselfAndIsOfEveryKindUpItsChain)
{
    CStaticLink link;
    CStatic plain;
    const CObject* const object = &link;
    EXPECT_STREQ(object->GetRuntimeClass()->m_lpszClassName, "CStaticLink");
    EXPECT_EQ(RUNTIME_CLASS(CStaticLink)->m_pBaseClass, RUNTIME_CLASS(CStatic));
    for (const CRuntimeClass* kind : {RUNTIME_CLASS(CStatic), RUNTIME_CLASS(CWnd),
                                      RUNTIME_CLASS(CCmdTarget), RUNTIME_CLASS(CObject)})
        EXPECT_TRUE(object->IsKindOf(kind)) << kind->m_lpszClassName;
    EXPECT_FALSE(plain.IsKindOf(RUNTIME_CLASS(CStaticLink)));
}
