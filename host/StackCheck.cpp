#include "host/StackCheck.h"

#if defined(__i386__)

// The compiler's own frame handling would repair a wrong clean-up unseen, so the call is
// made from assembly that keeps the expected stack pointer in a callee-saved register.
extern "C" int32_t BrmMeasuredCall(const void* function, const uint32_t* arguments,
                                   uint32_t count, uint32_t* result);
__asm__(".text\n"
        ".globl _BrmMeasuredCall\n"
        "_BrmMeasuredCall:\n"
        "  pushl %ebp\n"
        "  movl %esp, %ebp\n"
        "  pushl %ebx\n"
        "  pushl %esi\n"
        "  pushl %edi\n"
        "  movl 12(%ebp), %esi\n"   // arguments
        "  movl 16(%ebp), %ecx\n"   // count
        "  andl $-16, %esp\n"
        "  leal (,%ecx,4), %eax\n"  // pad so the stack is aligned once the arguments are on it
        "  negl %eax\n"
        "  andl $15, %eax\n"
        "  subl %eax, %esp\n"
        "  movl %esp, %edi\n"       // where the stack pointer must be after the call
        "1:\n"
        "  testl %ecx, %ecx\n"
        "  jz 2f\n"
        "  pushl -4(%esi,%ecx,4)\n"
        "  decl %ecx\n"
        "  jmp 1b\n"
        "2:\n"
        "  call *8(%ebp)\n"
        "  movl 20(%ebp), %edx\n"
        "  movl %eax, (%edx)\n"
        "  movl %esp, %eax\n"
        "  subl %edi, %eax\n"
        "  leal -12(%ebp), %esp\n"
        "  popl %edi\n"
        "  popl %esi\n"
        "  popl %ebx\n"
        "  popl %ebp\n"
        "  ret\n");

int32_t CallMeasuringStack(const void* function, const uint32_t* arguments, uint32_t count,
                           uint32_t* result)
{
    return BrmMeasuredCall(function, arguments, count, result);
}

#endif
