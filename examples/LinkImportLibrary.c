/* A host linked with the import library (lib/BRMSUPP.lib for Microsoft's
 * linker, lib/libBRMSUPP.dll.a for mingw-w64): the loader binds each call to
 * its ordinal. Run it from the folder that holds BRMSUPP.dll. */
#include <BRMSUPP.h>
#include <stdio.h>

int main(void)
{
    const uint32_t code = 1; /* the counter this run is recorded under */
    BYTE month = 0;
    WORD year = 0;

    printf("startup %d\n", ModuleStartup(&code, NULL, 0, 0));
    GetVersionDate(&month, &year);
    printf("version %u/%u\n", month, year);
    ModuleShutdown(NULL);
    printf("shutdown returned\n");
    return 0;
}
