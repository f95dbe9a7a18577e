vs_2_0
dcl_position v0
dcl_normal v1
dcl_texcoord0 v2
dcl_texcoord1 v7
mov r0, v0
mov r1.xyz, v1
mul r2, r0.x, c0
mad r2, r0.y, c1, r2
mad r2, r0.z, c2, r2
add oPos, r2, c3
mul r5, r0.x, c4
mad r5, r0.y, c5, r5
mad r5, r0.z, c6, r5
add r5, r5, c7
mul r3.xyz, r1.x, c4
mad r3.xyz, r1.y, c5, r3
mad r3.xyz, r1.z, c6, r3
mov oT0, v2
mov oT1, v7
mov oT2.xyz, r3
add oT3.xyz, c13, -r5
add oT4.xyz, c15, -r5
