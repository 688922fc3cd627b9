/* Makes the process that loads this library see a processor without
 * AVX-512, so that a library choosing its kernels at run time (OpenColorIO
 * 2.3 and later has no switch for it) takes its AVX2 ones. Linux can make
 * the CPUID instruction fault (arch_prctl ARCH_SET_CPUID, on processors
 * with CPUID faulting); the handler answers each CPUID itself, with the
 * AVX-512 feature bits cleared. Call tmHideAvx512() before the library
 * reads the processor; tmCpuidCalls() says how many CPUIDs were answered. */
#define _GNU_SOURCE
#include <asm/prctl.h>
#include <cpuid.h>
#include <signal.h>
#include <string.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

static volatile sig_atomic_t answered;

static void answerCpuid(int signal, siginfo_t* info, void* context) {
    (void)info;
    greg_t* reg = ((ucontext_t*)context)->uc_mcontext.gregs;
    const unsigned char* at = (const unsigned char*)reg[REG_RIP];
    if (at[0] != 0x0F || at[1] != 0xA2) { /* a real fault: die of it */
        struct sigaction fallback;
        memset(&fallback, 0, sizeof fallback);
        fallback.sa_handler = SIG_DFL;
        sigaction(signal, &fallback, NULL);
        return;
    }
    const unsigned int leaf = (unsigned int)reg[REG_RAX], subleaf = (unsigned int)reg[REG_RCX];
    unsigned int a, b, c, d;
    syscall(SYS_arch_prctl, ARCH_SET_CPUID, 1);
    __cpuid_count(leaf, subleaf, a, b, c, d);
    syscall(SYS_arch_prctl, ARCH_SET_CPUID, 0);
    if (leaf == 7 && subleaf == 0) {
        /* F, DQ, IFMA, PF, ER, CD, BW, VL */
        b &= ~((1u << 16) | (1u << 17) | (1u << 21) | (1u << 26) | (1u << 27) | (1u << 28) | (1u << 30) | (1u << 31));
        /* VBMI, VBMI2, VNNI, BITALG, VPOPCNTDQ */
        c &= ~((1u << 1) | (1u << 6) | (1u << 11) | (1u << 12) | (1u << 14));
        /* 4VNNIW, 4FMAPS, VP2INTERSECT, FP16 */
        d &= ~((1u << 2) | (1u << 3) | (1u << 8) | (1u << 23));
    }
    if (leaf == 7 && subleaf == 1) a &= ~(1u << 5); /* BF16 */
    reg[REG_RAX] = a;
    reg[REG_RBX] = b;
    reg[REG_RCX] = c;
    reg[REG_RDX] = d;
    reg[REG_RIP] += 2;
    answered = answered + 1;
}

/* 0 on success, -1 where the system or processor cannot fault on CPUID. */
int tmHideAvx512(void) {
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_sigaction = answerCpuid;
    action.sa_flags = SA_SIGINFO;
    if (sigaction(SIGSEGV, &action, NULL) != 0) return -1;
    return syscall(SYS_arch_prctl, ARCH_SET_CPUID, 0) == 0 ? 0 : -1;
}

int tmCpuidCalls(void) {
    return answered;
}
