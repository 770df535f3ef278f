/* Loads libkelu_util with a plain dlopen (argv[1]), brings the module up and
 * down, and makes one call that logs through the platform stand-in. */
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s path/to/libkelu_util.so\n", argv[0]);
        return 2;
    }
    void *library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (library == NULL) {
        fprintf(stderr, "dlopen: %s\n", dlerror());
        return 1;
    }
    uint32_t (*moduleInit)(void) = (uint32_t(*)(void))dlsym(library, "UTIL_ModuleInit");
    void (*moduleFInit)(void) = (void (*)(void))dlsym(library, "UTIL_ModuleFInit");
    uint64_t (*nodeNum)(void *) = (uint64_t(*)(void *))dlsym(library, "getAvlNodeNum");
    if (moduleInit == NULL || moduleFInit == NULL || nodeNum == NULL) {
        fprintf(stderr, "dlsym: %s\n", dlerror());
        return 1;
    }
    if (moduleInit() != 0 || nodeNum(NULL) != 0x03000003u) {
        return 1;
    }
    moduleFInit();
    fflush(stderr);
    fprintf(stderr, "dlopen: ok\n");
    return dlclose(library);
}
