vs_2_0
dcl_position v0
dcl_normal v1
dcl_texcoord0 v2
mov r0, v0
mov r1.xyz, v1
mul r2, r0.x, c0
mad r2, r0.y, c1, r2
mad r2, r0.z, c2, r2
add oPos, r2, c3
mov oT0, v2
mov oT1, v2
