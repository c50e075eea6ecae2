#include "framework/Dialog.h"
#include "web/StaticLink.h"

#include <gtest/gtest.h>

// Each class names itself and its base; IsKindOf answers up the chain but never down it, also
// for an object seen through a base pointer.
TEST(RuntimeClass, NamesBasesAndKindsAlongTheChain)
{
    const CRuntimeClass* const chain[] = {RUNTIME_CLASS(CStaticLink), RUNTIME_CLASS(CStatic),
                                          RUNTIME_CLASS(CWnd), RUNTIME_CLASS(CCmdTarget),
                                          RUNTIME_CLASS(CObject), nullptr};
    const char* const names[] = {"CStaticLink", "CStatic", "CWnd", "CCmdTarget", "CObject"};
    CStaticLink link;
    CDialog dialog(1);
    const CObject* const objects[] = {&link, &dialog};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_STREQ(chain[i]->m_lpszClassName, names[i]);
        EXPECT_EQ(chain[i]->m_pBaseClass, chain[i + 1]) << names[i];
        EXPECT_TRUE(objects[0]->IsKindOf(chain[i])) << names[i];
        EXPECT_EQ(objects[1]->IsKindOf(chain[i]), i > 1) << names[i];
    }
    EXPECT_STREQ(objects[1]->GetRuntimeClass()->m_lpszClassName, "CDialog");
    EXPECT_EQ(RUNTIME_CLASS(CDialog)->m_pBaseClass, RUNTIME_CLASS(CWnd));
}
