# int vj_call(vj_call_frame* frame), cdecl. Offsets follow call_frame.hpp.
        .intel_syntax noprefix

        .equ F_FN, 0
        .equ F_EAX, 4
        .equ F_EDX, 8
        .equ F_ECX, 12
        .equ F_COUNT, 16
        .equ F_WORDS, 20
        .equ F_FP, 24
        .equ F_CW, 28
        .equ F_MXCSR, 32
        .equ F_EAX_OUT, 36
        .equ F_EDX_OUT, 40
        .equ F_EBX_OUT, 44
        .equ F_ESI_OUT, 48
        .equ F_EDI_OUT, 52
        .equ F_EBP_OUT, 56
        .equ F_POPPED, 60
        .equ F_MXCSR_OUT, 64
        .equ F_FPENV, 68
        .equ F_ST0, 96
        .equ F_EXC_CODE, 108
        .equ F_EXC_FLAGS, 112
        .equ F_EXC_PARAMS, 116
        .equ F_EXC_P0, 120
        .equ F_EXC_P1, 124

        .bss
        .balign 4
frame_ptr:   .long 0
target:      .long 0
guard_esp:   .long 0
esp_before:  .long 0
esp_after:   .long 0
own_cw:      .long 0
own_mxcsr:   .long 0

        .text
        .globl _vj_call
_vj_call:
        push    ebp
        push    ebx
        push    esi
        push    edi
        mov     eax, [esp+20]
        mov     [frame_ptr], eax
        fnstcw  [own_cw]
        stmxcsr [own_mxcsr]

        # The host's try/except: an exception registration record on the stack.
        push    offset _vj_seh_handler
        push    dword ptr fs:[0]
        mov     fs:[0], esp
        mov     [guard_esp], esp

        # Stack arguments, last word pushed first.
        mov     ecx, [eax+F_COUNT]
        mov     esi, [eax+F_WORDS]
1:      test    ecx, ecx
        jz      2f
        dec     ecx
        push    dword ptr [esi+ecx*4]
        jmp     1b
2:      mov     edx, [eax+F_FN]
        mov     [target], edx
        fninit
        fldcw   [eax+F_CW]
        ldmxcsr [eax+F_MXCSR]
        mov     ebx, 0x11111111
        mov     esi, 0x22222222
        mov     edi, 0x33333333
        mov     ebp, 0x44444444
        mov     edx, [eax+F_EDX]
        mov     ecx, [eax+F_ECX]
        mov     eax, [eax+F_EAX]
        mov     [esp_before], esp
        call    [target]
        mov     [esp_after], esp

        push    eax
        mov     eax, [frame_ptr]
        pop     dword ptr [eax+F_EAX_OUT]
        mov     [eax+F_EDX_OUT], edx
        mov     [eax+F_EBX_OUT], ebx
        mov     [eax+F_ESI_OUT], esi
        mov     [eax+F_EDI_OUT], edi
        mov     [eax+F_EBP_OUT], ebp
        stmxcsr [eax+F_MXCSR_OUT]
        fnstenv [eax+F_FPENV]
        fldenv  [eax+F_FPENV]
        mov     edx, [esp_after]
        sub     edx, [esp_before]
        mov     [eax+F_POPPED], edx
        cmp     dword ptr [eax+F_FP], 0
        je      3f
        fstp    tbyte ptr [eax+F_ST0]
3:      xor     eax, eax

# Common exit, also reached from the exception handler with EAX = 1.
vj_call_exit:
        mov     esp, [guard_esp]
        pop     dword ptr fs:[0]
        add     esp, 4
        fninit
        fldcw   [own_cw]
        ldmxcsr [own_mxcsr]
        pop     edi
        pop     esi
        pop     ebx
        pop     ebp
        ret

# EXCEPTION_DISPOSITION handler(EXCEPTION_RECORD*, frame, CONTEXT*, dispatcher)
# Records the exception and resumes after the call, as a host's except
# block would; unwinding notifications are passed on.
_vj_seh_handler:
        mov     eax, [esp+4]
        test    dword ptr [eax+4], 6
        jz      4f
        mov     eax, 1
        ret
4:      mov     ecx, [frame_ptr]
        mov     edx, [eax]
        mov     [ecx+F_EXC_CODE], edx
        mov     edx, [eax+4]
        mov     [ecx+F_EXC_FLAGS], edx
        mov     edx, [eax+16]
        mov     [ecx+F_EXC_PARAMS], edx
        mov     edx, [eax+20]
        mov     [ecx+F_EXC_P0], edx
        mov     edx, [eax+24]
        mov     [ecx+F_EXC_P1], edx
        mov     eax, 1
        jmp     vj_call_exit
