/* The program's version strings: the table VersionInfo::builtIn() holds and the Windows version
   resource (src/win32/Tessel.rc) carries. Plain #defines only, for the resource compiler reads
   this file too. */
#ifndef TESSEL_VERSION_TABLE_H
#define TESSEL_VERSION_TABLE_H

#define TESSEL_VERSION_MAJOR 3
#define TESSEL_VERSION_MINOR 6
#define TESSEL_VERSION_TEXT "3.6"
#define TESSEL_COMPANY_NAME "Tessel Bench Tools"
#define TESSEL_FILE_DESCRIPTION "Light bar configuration and firmware programmer"
#define TESSEL_INTERNAL_NAME "Tessel"
#define TESSEL_PRODUCT_NAME "Tessel"

#endif
