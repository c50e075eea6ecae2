#include "framework/Dialog.h"
#include "web/StaticLink.h"

#include <gtest/gtest.h>

#include <cstring>

// Each class names itself and its base, and IsKindOf answers up the chain but never down
// it, through the virtual query, so also for an object seen through a base pointer.
TEST(RuntimeClass, NamesBasesAndKindsAlongTheChain)
{
    const CRuntimeClass* const chain[] = {RUNTIME_CLASS(CStaticLink), RUNTIME_CLASS(CStatic),
                                          RUNTIME_CLASS(CWnd), RUNTIME_CLASS(CCmdTarget),
                                          RUNTIME_CLASS(CObject)};
    const struct {
        const char* name;
        int size;
    } names[] = {{"CStaticLink", sizeof(CStaticLink)}, {"CStatic", sizeof(CStatic)},
                 {"CWnd", sizeof(CWnd)}, {"CCmdTarget", sizeof(CCmdTarget)},
                 {"CObject", sizeof(CObject)}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_STREQ(chain[i]->m_lpszClassName, names[i].name);
        EXPECT_EQ(chain[i]->m_nObjectSize, names[i].size) << names[i].name;
        EXPECT_EQ(chain[i]->m_pBaseClass, i + 1 < 5 ? chain[i + 1] : nullptr) << names[i].name;
        EXPECT_EQ(chain[i]->m_pfnCreateObject, nullptr) << names[i].name;   // never made by name
    }

    CStaticLink link;
    CStatic label;
    CDialog dialog(1);
    const CObject* const objects[] = {&link, &label, &dialog};
    EXPECT_STREQ(objects[0]->GetRuntimeClass()->m_lpszClassName, "CStaticLink");
    EXPECT_STREQ(objects[2]->GetRuntimeClass()->m_lpszClassName, "CDialog");
    EXPECT_EQ(RUNTIME_CLASS(CDialog)->m_pBaseClass, RUNTIME_CLASS(CWnd));
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_TRUE(link.IsKindOf(chain[i])) << chain[i]->m_lpszClassName;
        EXPECT_EQ(objects[1]->IsKindOf(chain[i]), i > 0) << chain[i]->m_lpszClassName;
        EXPECT_EQ(objects[2]->IsKindOf(chain[i]), i > 1) << chain[i]->m_lpszClassName;
    }
    EXPECT_FALSE(link.IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_FALSE(link.IsKindOf(nullptr));
}
