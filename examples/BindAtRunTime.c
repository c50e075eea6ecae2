/* A host that binds BRMSUPP.dll at run time: LoadLibrary, then each export by
 * its ordinal. Run it from the folder that holds BRMSUPP.dll. */
#include <BRMSUPP.h>
#include <stdio.h>

int main(void)
{
    const uint32_t code = 1; /* the counter this run is recorded under */
    BYTE month = 0;
    WORD year = 0;
    HMODULE support = LoadLibraryA("BRMSUPP.dll");
    if (support == NULL) {
        printf("BRMSUPP.dll not found\n");
        return 1;
    }
    ModuleStartupFn* startup = BRMSUPP_BIND(support, ModuleStartup);
    GetVersionDateFn* versionDate = BRMSUPP_BIND(support, GetVersionDate);
    ModuleShutdownFn* shutdown = BRMSUPP_BIND(support, ModuleShutdown);
    if (startup == NULL || versionDate == NULL || shutdown == NULL) {
        printf("BRMSUPP.dll lacks an export\n");
        return 1;
    }

    printf("startup %d\n", startup(&code, NULL, 0, 0));
    versionDate(&month, &year);
    printf("version %u/%u\n", month, year);
    shutdown(NULL);
    printf("shutdown returned\n");
    return 0;
}
