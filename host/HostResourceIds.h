#pragma once

// The host's own resources. Kept clear of the language modules' ids, since a
// lookup asks the current language module first.
#define IDD_ABOUT 2000
#define IDC_HOME_LINK 2001
#define IDC_PRODUCT_LINK 2002
